#include "platform/win32/Win32MessageBoxes.h"

#include <windows.h>

#include <string>

void Win32MessageBoxes::show(std::string_view caption, std::string_view text, MessageIcon icon) {
    if (dialogs_) {
        const std::string title(caption);
        const std::string message(text);
        const UINT style =
            MB_OK | (icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
        if (MessageBoxA(parent_, message.c_str(), title.c_str(), style) != 0) return;
    }
    console_.show(caption, text, icon);
}
