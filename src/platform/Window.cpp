#include "platform/Window.h"

#include <algorithm>

int clampWindowExtent(int pixels) {
    return std::clamp(pixels, 64, 8192);
}
