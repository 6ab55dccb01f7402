#include <gtest/gtest.h>

#include "Fms.h"
#include "platform/sdl/SdlWindow.h"

namespace {

SDL_WindowEvent windowEvent(Uint8 kind, int a = 0, int b = 0) {
    SDL_WindowEvent e{};
    e.type = SDL_WINDOWEVENT;
    e.event = kind;
    e.data1 = a;
    e.data2 = b;
    return e;
}

}  // namespace

// The window events as the program state sees them; no window system is needed for these.
TEST(SdlWindowEvents, ResizeMinimiseMoveAndClose) {
    Fms context;
    ScopedFms current(context);
    SdlWindow window;
    EXPECT_FALSE(window.handleWindowEvent(windowEvent(SDL_WINDOWEVENT_SIZE_CHANGED, 800, 600)));
    EXPECT_EQ(context.shell.settings.windowWidth, 540);
    EXPECT_EQ(context.shell.settings.windowHeight, 600);

    window.handleWindowEvent(windowEvent(SDL_WINDOWEVENT_MINIMIZED));
    EXPECT_FALSE(context.shell.windowActive);
    window.handleWindowEvent(windowEvent(SDL_WINDOWEVENT_RESTORED));
    EXPECT_TRUE(context.shell.windowActive);

    window.handleWindowEvent(windowEvent(SDL_WINDOWEVENT_MOVED, 120, 45));
    EXPECT_EQ(context.shell.settings.windowX, 120);
    EXPECT_EQ(context.shell.settings.windowY, 45);
    int x = 0;
    int y = 0;
    window.normalPosition(x, y);
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 45);

    EXPECT_TRUE(window.handleWindowEvent(windowEvent(SDL_WINDOWEVENT_CLOSE)));
    EXPECT_EQ(clampWindowExtent(-5), 64);
    EXPECT_EQ(clampWindowExtent(100000), 8192);
    EXPECT_EQ(clampWindowExtent(550), 550);
}
