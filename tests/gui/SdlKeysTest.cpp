#include <gtest/gtest.h>

#include "shell/Fms.h"
#include "cdu/KeyState.h"
#include "platform/sdl/SdlKeys.h"
#include "shell/MainLoop.h"

namespace {

// An SDL event as the program receives it: translated into window events, each applied.
void deliver(const SDL_Event& e) {
    std::deque<WindowEvent> events;
    appendInputEvents(e, events);
    for (const WindowEvent& w : events) applyWindowEvent(w);
}

void keyEvent(Uint32 type, SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    deliver(e);
}

// A key of the PC keyboard as SDL reports it: key-down, the text it types, key-up.
void typeKey(SDL_Keycode key, const char* text, Uint16 mod = KMOD_NONE) {
    keyEvent(SDL_KEYDOWN, key, mod);
    if (text != nullptr) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        std::snprintf(e.text.text, sizeof e.text.text, "%s", text);
        deliver(e);
    }
    keyEvent(SDL_KEYUP, key, mod);
}

struct SdlKeyboard : ::testing::Test {
    Fms context;
    ScopedFms current{context};
    KeyState& keys = context.cdu.keys;
};

}  // namespace

TEST(SdlKeyCodes, TextBecomesLatin1Codes) {
    EXPECT_EQ(latin1FromUtf8("aZ5"), (std::vector<int>{'a', 'Z', '5'}));
    EXPECT_EQ(latin1FromUtf8("\xc2\xb0"), (std::vector<int>{176}));        // degree sign
    EXPECT_EQ(latin1FromUtf8("\xc3\xa9x"), (std::vector<int>{233, 'x'}));  // e acute
    EXPECT_EQ(latin1FromUtf8("\xe2\x82\xac!"), (std::vector<int>{'!'}));   // euro: beyond 8 bits
    EXPECT_EQ(latin1FromUtf8("\xc3"), (std::vector<int>{}));               // cut short
    EXPECT_EQ(latin1FromUtf8("\x80"
                             "a"),
              (std::vector<int>{'a'}));                           // stray continuation
    EXPECT_EQ(latin1FromUtf8("\xc0\x80"), (std::vector<int>{}));  // overlong NUL
}

TEST_F(SdlKeyboard, TypingLettersDigitsBackspaceAndEnter) {
    typeKey(SDLK_k, "k");
    typeKey(SDLK_s, "S");
    typeKey(SDLK_KP_7, "7");
    typeKey(SDLK_4, "4");
    typeKey(SDLK_SPACE, "\xc2\xa0");  // a no-break space holds back no letter
    typeKey(SDLK_q, "q");
    EXPECT_EQ(keys.scratchpad, "KS74Q");
    // Arrow and numeric-pad key-downs are recorded as their virtual keys.
    keyEvent(SDL_KEYDOWN, SDLK_KP_8);
    keyEvent(SDL_KEYDOWN, SDLK_LEFT);
    EXPECT_EQ(keys.keyDown[104], 1);
    EXPECT_EQ(keys.keyDown[37], 1);
    typeKey(SDLK_BACKSPACE, nullptr);
    EXPECT_EQ(keys.scratchpad, "KS74");
    typeKey(SDLK_RETURN, nullptr);
    EXPECT_EQ(keys.pendingPadKey, kPadEnter);
    typeKey(SDLK_ESCAPE, nullptr);
    EXPECT_EQ(keys.keyDown[kEscapeChar], 1);
    // Nothing stays recorded after the keys went up.
    for (int code = 'A'; code <= 'Z'; ++code) EXPECT_EQ(keys.keyDown[code], 0) << code;
}

TEST_F(SdlKeyboard, CtrlShiftFTogglesTheFrameAndCtrlShiftRRotates) {
    typeKey(SDLK_f, nullptr, KMOD_LCTRL | KMOD_LSHIFT);
    EXPECT_TRUE(context.platform.settings.frameless);
    keyEvent(SDL_KEYDOWN, SDLK_r, KMOD_RCTRL | KMOD_RSHIFT);
    EXPECT_EQ(context.cdu.rotationIndex, 1);
    EXPECT_EQ(keys.scratchpad, "");
    // Ctrl alone, or Shift alone, is an ordinary letter (Shift types upper case).
    typeKey(SDLK_f, nullptr, KMOD_LCTRL);
    typeKey(SDLK_r, "R");
    EXPECT_TRUE(context.platform.settings.frameless);
    EXPECT_EQ(context.cdu.rotationIndex, 1);
    EXPECT_EQ(keys.scratchpad, "R");
}

TEST(ProgramOptions, ParsesTheScreenshotAndTimingOptions) {
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(parseProgramOptions({"--no-dialogs", "--screenshot", "/tmp/a.png", "--screenshot-frames",
                                     "30", "--quit-after-screenshot", "--timing"},
                                    o, error))
        << error;
    EXPECT_FALSE(o.dialogs);
    EXPECT_EQ(o.screenshotPath, "/tmp/a.png");
    EXPECT_EQ(o.screenshotAfterFrames, 30);
    EXPECT_EQ(o.screenshotAfterMs, -1);
    EXPECT_TRUE(o.quitAfterScreenshot && o.timing);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--screenshot-ms", "soon"}, {"--screenshot-ms", "-5"}, {"--screenshot"}, {"--fullscreen"}})
        EXPECT_FALSE(parseProgramOptions(bad, o, error)) << bad[0];
    EXPECT_EQ(error, "unknown option --fullscreen");
}
