#include "platform/sdl/SdlMessageBoxes.h"

#include <string>

void SdlMessageBoxes::show(std::string_view caption, std::string_view text, MessageIcon icon) {
    if (dialogs_) {
        const Uint32 flags =
            icon == MessageIcon::Exclamation ? SDL_MESSAGEBOX_WARNING : SDL_MESSAGEBOX_INFORMATION;
        const std::string title(caption);
        const std::string message(text);
        if (SDL_ShowSimpleMessageBox(flags, title.c_str(), message.c_str(), parent_) == 0) return;
    }
    console_.show(caption, text, icon);
}
