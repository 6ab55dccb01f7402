// The server's walk over a request block whose every byte comes from the fuzzer. The block
// buffer is exactly as large as the input (up to the block size), so the sanitizers see any
// access past it; the offset space checks that every area it is handed lies inside the block
// and that a refused batch performs nothing.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "simlink/SimLink.h"
#include "SimServer.h"

namespace {

class CheckingSpace : public OffsetSpace {
public:
    CheckingSpace(const uint8_t* begin, size_t size) : begin_(begin), end_(begin + size) {}
    void readOffset(uint32_t offset, uint8_t* destination, uint32_t size) override {
        check(destination, size);
        std::memset(destination, static_cast<int>(offset & 0xFF), size);
        ++calls;
    }
    void writeOffset(uint32_t, const uint8_t* source, uint32_t size) override {
        check(source, size);
        ++calls;
    }
    int calls = 0;

private:
    void check(const uint8_t* area, uint32_t size) const {
        const size_t usable = std::min<size_t>(end_ - begin_, kSimBlockUsable);
        if (area < begin_ || size > usable || static_cast<size_t>(area - begin_) > usable - size) {
            std::abort();
        }
    }
    const uint8_t* begin_;
    const uint8_t* end_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t blockSize = std::min<size_t>(size, kSimBlockSize);
    auto block = std::make_unique<uint8_t[]>(blockSize == 0 ? 1 : blockSize);
    std::memcpy(block.get(), data, blockSize);
    CheckingSpace space(block.get(), blockSize);
    const uint32_t reply = answerRequestBlock(block.get(), blockSize, space);
    if (reply != kSimReplyDone && reply != kSimReplyRejected) {
        std::abort();
    }
    if (reply == kSimReplyRejected && space.calls != 0) {
        std::abort();  // a refused batch must not have been performed in part
    }
    return 0;
}
