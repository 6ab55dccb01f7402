// Feeds arbitrary bytes to the TGA reader: it must never read or write outside its buffers,
// and an image it accepts must be exactly as large as its header says.
#include <cstdint>
#include <cstdlib>

#include "cdu/Tga.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::optional<TgaImage> image = readTgaMemory(data, size);
    if (image) {
        const size_t expected = static_cast<size_t>(image->width) * image->height * image->components;
        if (image->pixels.size() != expected || (image->components != 3 && image->components != 4))
            std::abort();
    }
    return 0;
}
