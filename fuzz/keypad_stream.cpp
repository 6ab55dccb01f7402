// The keypad's handling of what a serial port delivers: the first input byte picks unit 1 or
// unit 2, the rest is everything the board sends, four bytes after each identification query
// during the search and then the key stream, one byte per frame. Whatever arrives, the
// pending key slots stay within their ranges, the scratchpad only ever holds typed letters and
// digits and never grows faster than one character a byte, and a board is taken only after a
// reply that names this unit.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "hardware/Keypad.h"
#include "platform/SerialPort.h"
#include "shell/Fms.h"

namespace {

// A port whose board answers each identification query with the next four input bytes.
class ScriptedPort final : public SerialPort {
public:
    explicit ScriptedPort(std::deque<uint8_t> stream) : pending_(std::move(stream)) {}
    std::vector<std::string> listDevices() override { return {"fuzz0", "fuzz1"}; }
    SerialOpen open(const std::string& device, int) override {
        if (!open_) device_ = device;
        open_ = true;
        return SerialOpen::Opened;
    }
    bool isOpen() const override { return open_; }
    const std::string& device() const override { return device_; }
    int bytesWaiting() override { return open_ ? static_cast<int>(arrived_.size()) : 0; }
    int read(uint8_t* buffer, int maxBytes) override {
        int n = 0;
        while (open_ && n < maxBytes && !arrived_.empty()) {
            buffer[n++] = arrived_.front();
            arrived_.pop_front();
        }
        return n;
    }
    int write(const uint8_t* bytes, int count) override {
        if (!open_) return 0;
        for (int i = 0; i < count; ++i) {
            if (bytes[i] != 0xCE) continue;
            ++queries_;
            for (int k = 0; k < 4 && !pending_.empty(); ++k) {
                replies_.push_back(pending_.front());
                arrived_.push_back(pending_.front());
                pending_.pop_front();
            }
        }
        return count;
    }
    bool waitForInput(int) override { return open_ && !arrived_.empty(); }
    void discardInput() override { arrived_.clear(); }
    void close() override {
        open_ = false;
        device_.clear();
        arrived_.clear();
    }
    // The board's key stream: everything not used as replies.
    void startKeys() {
        arrived_.insert(arrived_.end(), pending_.begin(), pending_.end());
        pending_.clear();
    }
    const std::vector<uint8_t>& replies() const { return replies_; }

private:
    std::deque<uint8_t> pending_;
    std::deque<uint8_t> arrived_;
    std::vector<uint8_t> replies_;
    std::string device_;
    bool open_ = false;
    int queries_ = 0;
};

bool hasReplyFor(const std::vector<uint8_t>& replies, char unit) {
    for (size_t i = 0; i + 3 < replies.size(); i += 4) {
        if (replies[i] == 'F' && replies[i + 3] == static_cast<uint8_t>(unit)) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Every key is echoed on the console; the fuzzer's own report goes to standard error.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    Fms context;
    ScopedFms current(context);
    context.platform.settings.enableArduino = true;
    context.platform.settings.unitIsFms1 = (data[0] & 1) != 0;
    ScriptedPort port(std::deque<uint8_t>(data + 1, data + size));
    context.platform.serialPort = &port;

    searchKeypad();
    const char unit = context.platform.settings.unitIsFms1 ? '1' : '2';
    if (context.hardware.keypadFound && !hasReplyFor(port.replies(), unit)) std::abort();
    if (context.hardware.keypadFound != port.isOpen()) std::abort();

    port.startKeys();
    const KeyState& keys = context.cdu.keys;
    size_t polls = 0;
    while (port.bytesWaiting() > 0) {
        pollKeypad();
        ++polls;
        if (keys.pendingLsk < 0 || keys.pendingLsk > kLskNone || keys.pendingFunctionKey < 0 ||
            keys.pendingFunctionKey > kFunctionNone || keys.pendingPadKey < 0 ||
            keys.pendingPadKey > kPadNone || keys.pendingAlphaKey < 0 || keys.pendingAlphaKey > kAlphaNone) {
            std::abort();
        }
        if (keys.scratchpad.size() > polls) std::abort();
        if (!context.hardware.keypadFound) break;  // no board: nothing is read
    }
    for (char c : keys.scratchpad) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) std::abort();
    }
    return 0;
}
