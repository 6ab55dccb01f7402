#pragma once

#include "platform/MessageBoxes.h"

struct HWND__;

// Message boxes as system message boxes over the program window. Switched off for unattended
// runs, each becomes a console line instead.
class Win32MessageBoxes final : public MessageBoxes {
public:
    explicit Win32MessageBoxes(bool dialogs) : dialogs_(dialogs) {}
    void setParent(HWND__* window) { parent_ = window; }
    void show(std::string_view caption, std::string_view text, MessageIcon icon) override;

private:
    bool dialogs_;
    HWND__* parent_ = nullptr;
    ConsoleMessageBoxes console_;
};
