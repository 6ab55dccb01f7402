// Feeds arbitrary bytes to the FMS.ini reader. Whatever it accepts must write back as a file
// that reads back to the same settings: writing a read file a second time changes nothing.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Settings settings;
    applySettingsText(settings, std::string_view(reinterpret_cast<const char*>(data), size));
    for (float v : {settings.xGraphicsPosition, settings.yGraphicsPosition, settings.xGraphicScale,
                    settings.yGraphicScale, settings.dimLevel, settings.textKeyAlignment}) {
        if (!std::isfinite(v)) std::abort();
    }
    const std::string once = formatSettings(settings, settings.windowX, settings.windowY);
    Settings reread;
    applySettingsText(reread, once);
    if (formatSettings(reread, reread.windowX, reread.windowY) != once) std::abort();
    return 0;
}
