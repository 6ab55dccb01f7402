#include <gtest/gtest.h>

#include "shell/Fms.h"
#include "platform/Window.h"
#include "shell/MainLoop.h"

// The window events as the program state sees them; no window system is needed for these.
TEST(WindowEvents, ResizeMinimiseMoveAndClose) {
    Fms context;
    ScopedFms current(context);
    using Type = WindowEvent::Type;
    EXPECT_TRUE(applyWindowEvent({Type::Resized, 800, 600}));
    EXPECT_EQ(context.platform.settings.windowWidth, 540);
    EXPECT_EQ(context.platform.settings.windowHeight, 600);

    applyWindowEvent({Type::Minimised});
    EXPECT_FALSE(context.shell.windowActive);
    applyWindowEvent({Type::Restored});
    EXPECT_TRUE(context.shell.windowActive);

    applyWindowEvent({Type::Moved, 120, 45});
    EXPECT_EQ(context.platform.settings.windowX, 120);
    EXPECT_EQ(context.platform.settings.windowY, 45);

    EXPECT_FALSE(applyWindowEvent({Type::Quit}));
    EXPECT_EQ(clampWindowExtent(-5), 64);
    EXPECT_EQ(clampWindowExtent(100000), 8192);
    EXPECT_EQ(clampWindowExtent(550), 550);
}
