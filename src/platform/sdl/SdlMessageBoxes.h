#pragma once

#include <SDL.h>

#include "platform/MessageBoxes.h"

// Message boxes as SDL simple message boxes. Where no box can be shown (no display), or when
// boxes are switched off for unattended runs, each becomes a console line instead.
class SdlMessageBoxes final : public MessageBoxes {
public:
    explicit SdlMessageBoxes(bool dialogs) : dialogs_(dialogs) {}
    void setParent(SDL_Window* window) { parent_ = window; }
    void show(std::string_view caption, std::string_view text, MessageIcon icon) override;

private:
    bool dialogs_;
    SDL_Window* parent_ = nullptr;
    ConsoleMessageBoxes console_;
};
