#include "platform/MessageBoxes.h"

#include <cstdio>

void ConsoleMessageBoxes::show(std::string_view caption, std::string_view text, MessageIcon) {
    std::printf("%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                static_cast<int>(text.size()), text.data());
    std::fflush(stdout);
}
