#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A pseudo-terminal pair standing in for a serial device: the program opens the slave end as
// its serial port, and whoever plays the board reads and writes the master end. The slave is
// kept open in raw mode from the start, so that bytes written before the program opens it
// are neither echoed nor held back for a line end, and so that the program closing its end
// does not hang the line up.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return master_ >= 0; }
    // The slave device, e.g. /dev/pts/7.
    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Writes bytes to the program's side; false when they could not all be written.
    bool send(std::string_view bytes);
    // The bytes the program has written, collected until `count` have arrived or `timeoutMs`
    // have passed.
    std::string receive(size_t count, int timeoutMs);
    // Everything the program has written so far, without waiting.
    std::string drain() { return receive(SIZE_MAX, 0); }

    // Ends both sides: the program's reads and writes then fail, as they do when a USB
    // board is unplugged.
    void hangUp();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};
