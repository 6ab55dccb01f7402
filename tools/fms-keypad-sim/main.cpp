// fms-keypad-sim: runs the keypad board firmware in the AVR simulator, as if on a real
// ATmega328P board at 16 MHz, with its UART on a pseudo-terminal that the program opens as
// its serial port, and a key matrix that commands on standard input press and release.
//
//   fms-keypad-sim [--unit 1|2] [--link PATH] keypad.elf
//
// Prints "pty <device>" once the board runs, "backlight on" / "backlight off" when the
// firmware switches the backlight pin. Commands, one per line: "press KEY", "release KEY",
// "tap KEY" (pressed for 30 ms of board time), "unit 1|2" (the jumper), "quit". KEY is a CDU
// key name: L1..R5, DATA NAV VNAV DTO LIST PREV FUEL FPL FN8 FN9 MENU NEXT, 0..9, BACK, PAD11,
// ONOFF, PLUSMINUS, ENTER, A..Z.
#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "cdu/KeyRectangles.h"
#include "platform/posix/FdWait.h"
#include "platform/posix/PseudoTerminal.h"

extern "C" {
#include <avr_ioport.h>
#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_elf.h>
}

namespace {

constexpr uint32_t kFrequency = 16000000;
constexpr int kMatrixSize = 8;
constexpr int kTapMs = 30;

// The board: simulated core, its key matrix and the terminal its UART talks to.
struct Board {
    avr_t* avr = nullptr;
    PseudoTerminal pty;
    std::array<bool, kMatrixSize * kMatrixSize> pressed{};
    uint8_t ddrB = 0;
    uint8_t ddrD = 0;
    bool unit2 = false;
    bool pinsDirty = true;  // column and jumper inputs need applying
    bool uartReady = true;  // the UART's input queue has room
    std::deque<uint8_t> toBoard;
    int backlight = -1;
    struct Release {
        int key;
        uint64_t atCycle;
    };
    std::vector<Release> releases;

    avr_irq_t* pin(char port, int bit) const {
        return avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(port), bit);
    }
};

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Rows driven low by the firmware: PD2..PD7 are rows 0..5, PB0 and PB1 rows 6 and 7.
uint8_t activeRows(const Board& b) {
    return static_cast<uint8_t>(((b.ddrD >> 2) & 0x3F) | ((b.ddrB & 0x03) << 6));
}

// Column inputs follow the matrix: a column reads low while a pressed key joins it to a
// driven row; otherwise its pull-up holds it high. The jumper pulls PB4 low for unit 2.
// Applied after each instruction that changed a port, so that the simulator's own pull-up
// update of the port cannot override them.
void applyPins(Board& b) {
    const uint8_t rows = activeRows(b);
    for (int column = 0; column < kMatrixSize; ++column) {
        bool low = false;
        for (int row = 0; row < kMatrixSize; ++row) {
            low = low ||
                  (((rows >> row) & 1) != 0 && b.pressed[static_cast<size_t>(row * kMatrixSize + column)]);
        }
        avr_irq_t* irq = column < 6 ? b.pin('C', column) : b.pin('B', column - 4);
        avr_raise_irq(irq, low ? 0 : 1);
    }
    avr_raise_irq(b.pin('B', 4), b.unit2 ? 0 : 1);
    b.pinsDirty = false;
}

void onDirection(avr_irq_t* irq, uint32_t value, void* param) {
    Board& b = *static_cast<Board*>(param);
    (void)irq;
    b.pinsDirty = true;
    (void)value;
}

void onDirectionB(avr_irq_t* irq, uint32_t value, void* param) {
    static_cast<Board*>(param)->ddrB = static_cast<uint8_t>(value);
    onDirection(irq, value, param);
}

void onDirectionD(avr_irq_t* irq, uint32_t value, void* param) {
    static_cast<Board*>(param)->ddrD = static_cast<uint8_t>(value);
    onDirection(irq, value, param);
}

void onBacklight(avr_irq_t*, uint32_t value, void* param) {
    Board& b = *static_cast<Board*>(param);
    const int on = value != 0 ? 1 : 0;
    if (on == b.backlight) return;
    b.backlight = on;
    say(on ? "backlight on" : "backlight off");
}

void onUartOutput(avr_irq_t*, uint32_t value, void* param) {
    Board& b = *static_cast<Board*>(param);
    const uint8_t byte = static_cast<uint8_t>(value);
    b.pty.send(std::string(1, static_cast<char>(byte)));
}

void onXon(avr_irq_t*, uint32_t, void* param) {
    static_cast<Board*>(param)->uartReady = true;
}

void onXoff(avr_irq_t*, uint32_t, void* param) {
    static_cast<Board*>(param)->uartReady = false;
}

// The simulator's messages go to standard error, away from the lines read on standard output;
// only warnings and errors are kept.
void logToStderr(avr_t*, const int level, const char* format, va_list args) {
    if (level <= LOG_WARNING) std::vfprintf(stderr, format, args);
}

// The simulator sleeps in real time while the core sleeps; the main loop paces the board
// against the wall clock instead, so that it can wake at once for arriving bytes.
void noSleep(avr_t*, avr_cycle_count_t) {}

int keyIndex(const std::string& name) {
    const std::array<CduKey, 63>& keys = cduKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

uint64_t cyclesFor(int ms) {
    return static_cast<uint64_t>(kFrequency) / 1000 * static_cast<uint64_t>(ms);
}

// One command line; false for "quit".
bool runCommand(Board& b, const std::string& line) {
    const size_t space = line.find(' ');
    const std::string verb = line.substr(0, space);
    const std::string arg = space == std::string::npos ? "" : line.substr(space + 1);
    if (verb == "quit") return false;
    if (verb == "unit" && (arg == "1" || arg == "2")) {
        b.unit2 = arg == "2";
        b.pinsDirty = true;
        return true;
    }
    const int key = keyIndex(arg);
    if (key < 0 || (verb != "press" && verb != "release" && verb != "tap")) {
        say("unknown command: " + line);
        return true;
    }
    b.pressed[static_cast<size_t>(key)] = verb != "release";
    if (verb == "tap") b.releases.push_back({key, b.avr->cycle + cyclesFor(kTapMs)});
    b.pinsDirty = true;
    return true;
}

int usage() {
    std::fprintf(stderr, "usage: fms-keypad-sim [--unit 1|2] [--link PATH] keypad.elf\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Board board;
    std::string elfPath;
    std::string linkPath;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--unit" && i + 1 < argc) {
            const std::string unit = argv[++i];
            if (unit != "1" && unit != "2") return usage();
            board.unit2 = unit == "2";
        } else if (a == "--link" && i + 1 < argc) {
            linkPath = argv[++i];
        } else if (!a.empty() && a[0] != '-' && elfPath.empty()) {
            elfPath = a;
        } else {
            return usage();
        }
    }
    if (elfPath.empty()) return usage();

    avr_global_logger_set(logToStderr);
    elf_firmware_t firmware{};
    if (elf_read_firmware(elfPath.c_str(), &firmware) != 0) {
        std::fprintf(stderr, "fms-keypad-sim: cannot read %s\n", elfPath.c_str());
        return 1;
    }
    std::strcpy(firmware.mmcu, "atmega328p");
    firmware.frequency = kFrequency;
    board.avr = avr_make_mcu_by_name(firmware.mmcu);
    if (board.avr == nullptr || !board.pty.ok()) {
        std::fprintf(stderr, "fms-keypad-sim: no ATmega328P core or no pseudo-terminal\n");
        return 1;
    }
    avr_t* avr = board.avr;
    avr_init(avr);
    avr_load_firmware(avr, &firmware);
    avr->sleep = noSleep;

    // The UART carries binary bytes: no console echo of its output.
    uint32_t flags = 0;
    avr_ioctl(avr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
    flags &= ~static_cast<uint32_t>(AVR_UART_FLAG_STDIO);
    avr_ioctl(avr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    avr_irq_t* uartInput = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT), onUartOutput,
                            &board);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XON), onXon, &board);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XOFF), onXoff,
                            &board);
    avr_irq_register_notify(board.pin('B', IOPORT_IRQ_DIRECTION_ALL), onDirectionB, &board);
    avr_irq_register_notify(board.pin('D', IOPORT_IRQ_DIRECTION_ALL), onDirectionD, &board);
    for (char port : {'B', 'C', 'D'}) {
        avr_irq_register_notify(board.pin(port, IOPORT_IRQ_REG_PORT), onDirection, &board);
    }
    avr_irq_register_notify(board.pin('B', 5), onBacklight, &board);

    if (!linkPath.empty()) {
        unlink(linkPath.c_str());
        if (symlink(board.pty.slavePath().c_str(), linkPath.c_str()) != 0) {
            std::fprintf(stderr, "fms-keypad-sim: cannot create %s: %s\n", linkPath.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    say("pty " + board.pty.slavePath());

    const int64_t startMs = monotonicMs();
    std::string input;
    bool running = true;
    while (running) {
        // One millisecond of board time, instruction by instruction.
        const uint64_t sliceEnd = avr->cycle + cyclesFor(1);
        while (avr->cycle < sliceEnd) {
            const int state = avr_run(avr);
            if (state == cpu_Done || state == cpu_Crashed) {
                std::fprintf(stderr, "fms-keypad-sim: the firmware stopped (state %d)\n", state);
                return 1;
            }
            if (board.pinsDirty) applyPins(board);
        }
        for (size_t i = 0; i < board.releases.size();) {
            if (avr->cycle >= board.releases[i].atCycle) {
                board.pressed[static_cast<size_t>(board.releases[i].key)] = false;
                board.pinsDirty = true;
                board.releases.erase(board.releases.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
        // Keep to real time: wait while ahead, waking for bytes from the program or a command.
        const int64_t boardMs = static_cast<int64_t>(avr->cycle / cyclesFor(1));
        const int64_t ahead = boardMs - (monotonicMs() - startMs);
        pollfd fds[2] = {{board.pty.masterFd(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        if (poll(fds, 2, ahead > 0 ? static_cast<int>(ahead) : 0) > 0) {
            if ((fds[0].revents & POLLIN) != 0) {
                for (char c : board.pty.drain()) board.toBoard.push_back(static_cast<uint8_t>(c));
            }
            if ((fds[1].revents & (POLLIN | POLLHUP)) != 0) {
                char buffer[256];
                const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
                if (n <= 0) break;  // standard input closed: the board is switched off
                input.append(buffer, static_cast<size_t>(n));
                for (size_t end; running && (end = input.find('\n')) != std::string::npos;) {
                    running = runCommand(board, input.substr(0, end));
                    input.erase(0, end + 1);
                }
            }
        }
        while (board.uartReady && !board.toBoard.empty()) {
            avr_raise_irq(uartInput, board.toBoard.front());
            board.toBoard.pop_front();
        }
    }
    if (!linkPath.empty()) unlink(linkPath.c_str());
    avr_terminate(avr);
    return 0;
}
