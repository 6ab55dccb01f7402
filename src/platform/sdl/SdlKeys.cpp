#include "platform/sdl/SdlKeys.h"


int virtualKeyFromSdl(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
    switch (key) {
        case SDLK_LEFT:
            return 37;
        case SDLK_UP:
            return 38;
        case SDLK_RIGHT:
            return 39;
        case SDLK_DOWN:
            return 40;
        case SDLK_KP_0:
            return 96;
        case SDLK_KP_1:
            return 97;
        case SDLK_KP_2:
            return 98;
        case SDLK_KP_3:
            return 99;
        case SDLK_KP_4:
            return 100;
        case SDLK_KP_5:
            return 101;
        case SDLK_KP_6:
            return 102;
        case SDLK_KP_7:
            return 103;
        case SDLK_KP_8:
            return 104;
        case SDLK_KP_9:
            return 105;
        case SDLK_KP_MULTIPLY:
            return 106;
        case SDLK_KP_PLUS:
            return 107;
        case SDLK_KP_MINUS:
            return 109;
        case SDLK_KP_PERIOD:
            return 110;
        case SDLK_KP_DIVIDE:
            return 111;
        case SDLK_BACKSPACE:
            return 8;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return 13;
        case SDLK_ESCAPE:
            return 27;
        case SDLK_SPACE:
            return 32;
        default:
            return -1;
    }
}

std::vector<int> latin1FromUtf8(const std::string& text) {
    std::vector<int> codes;
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            codes.push_back(lead);
            ++i;
            continue;
        }
        // Two-byte sequences cover U+0080..U+07FF; only U+0080..U+00FF fit 8 bits.
        int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        bool valid = length > 1 && i + static_cast<size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        }
        if (valid && length == 2) {
            const int code = ((lead & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F);
            if (code >= 0x80 && code <= 0xFF) codes.push_back(code);
        }
        i += valid ? static_cast<size_t>(length) : 1;
    }
    return codes;
}

bool isWindowActionCombination(const SDL_Keysym& key) {
    const bool ctrl = (key.mod & KMOD_CTRL) != 0;
    const bool shift = (key.mod & KMOD_SHIFT) != 0;
    return ctrl && shift && (key.sym == SDLK_f || key.sym == SDLK_r);
}

void appendInputEvents(const SDL_Event& event, std::deque<WindowEvent>& out) {
    using Type = WindowEvent::Type;
    auto push = [&out](Type type, int x = 0, int y = 0, int code = 0) { out.push_back({type, x, y, code}); };
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT) push(Type::MouseDown, event.button.x, event.button.y);
            break;
        case SDL_KEYDOWN: {
            if (event.key.keysym.sym == SDLK_F12) {
                push(Type::Screenshot);
                break;
            }
            const int code = virtualKeyFromSdl(event.key.keysym.sym);
            if (code < 0) break;
            push(Type::KeyDown, 0, 0, code);
            if (isWindowActionCombination(event.key.keysym)) {
                push(Type::Char, 0, 0, kSdlWindowActionChar);
            } else if (code == 8 || code == 13 || code == 27) {
                // Backspace, Enter and Escape produce no text event; they arrive as characters.
                push(Type::Char, 0, 0, code);
            }
            break;
        }
        case SDL_KEYUP: {
            const int code = virtualKeyFromSdl(event.key.keysym.sym);
            if (code >= 0) push(Type::KeyUp, 0, 0, code);
            break;
        }
        case SDL_TEXTINPUT:
            for (int code : latin1FromUtf8(event.text.text)) {
                // A typed no-break space would arm the window actions and then hold back
                // every letter; only the key combination may produce that character.
                if (code != kSdlWindowActionChar) push(Type::Char, 0, 0, code);
            }
            break;
        default:
            break;
    }
}
