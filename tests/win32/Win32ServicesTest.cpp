// The Win32 services: the registry value of the data folder, the named block two units share,
// and FMS.ini as the Windows build writes and reads it.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "Harness.h"
#include "TempDir.h"
#include "platform/Platform.h"
#include "platform/win32/RegistryKeyStore.h"
#include "platform/win32/Win32SharedBlock.h"
#include "shell/DataFolder.h"
#include "shell/Fms.h"
#include "shell/Settings.h"

TEST(Win32Registry, TheDataFolderIsPublishedUnderTheCurrentUser) {
    RegistryKeyStore store;
    const std::string key = "SOFTWARE\\FMS-TEST-" + std::to_string(GetCurrentProcessId());
    int error = 0;
    EXPECT_FALSE(store.keyExists(key));
    EXPECT_FALSE(store.setString(key, "Path", "x", error));
    EXPECT_NE(error, 0);
    ASSERT_TRUE(store.createKey(key, error)) << error;
    EXPECT_TRUE(store.keyExists(key));
    ASSERT_TRUE(store.setString(key, "Path", "C:\\fms\\data", error));
    EXPECT_EQ(store.getString(key, "Path").value_or("?"), "C:\\fms\\data");
    EXPECT_FALSE(store.getString(key, "Other").has_value());
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());

    // The program's own key: the working directory and "\data", in the system's separators.
    TempDir dir;
    Fms context;
    ScopedFms current(context);
    context.platform.keyStore = &store;
    context.platform.dataRoot = dir.str();
    publishDataPath();
    const std::string path = store.getString("SOFTWARE\\ORX1-FMS", "Path").value_or("");
    EXPECT_EQ(path, dir.path().string() + "\\data");
    EXPECT_EQ(path.find('/'), std::string::npos);
}

TEST(Win32SharedMemory, TwoHoldersShareTheBlockAndANewOneStartsFromZeros) {
    const std::string name = "FMSSharedMemoryTest" + std::to_string(GetCurrentProcessId());
    {
        Win32SharedBlock first;
        Win32SharedBlock second;
        ASSERT_TRUE(first.create(name.c_str(), 4096));
        ASSERT_TRUE(second.create(name.c_str(), 4096));
        uint8_t* a = first.map();
        uint8_t* b = second.open(name.c_str());
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        a[36] = 1;
        EXPECT_EQ(b[36], 1);
        b[4] = 7;
        EXPECT_EQ(a[4], 7);
        EXPECT_EQ(second.open("FMSNoSuchBlock"), nullptr);
        EXPECT_TRUE(first.unmap());
    }
    Win32SharedBlock later;
    ASSERT_TRUE(later.create(name.c_str(), 4096));
    uint8_t* view = later.map();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[36], 0);
    EXPECT_EQ(view[4], 0);
}

TEST(Win32Settings, FmsIniHasTheSameBytesAsElsewhereAndReadsBackWithEitherLineEnd) {
    TempDir dir;
    Fms context;
    ScopedFms current(context);
    context.platform.dataRoot = dir.str();
    writeSettings();
    const std::string written = dir.read("FMS.ini");
    // Line breaks are single LF bytes, as on every other system: one file for all of them.
    EXPECT_EQ(written.find('\r'), std::string::npos);
    EXPECT_EQ(written.substr(0, 78), std::string(77, '*') + "\n");
    const std::string tail = "Enable_Debug:no\nEnable_Arduino:no\n\n-----Software Build Info------\n1.2 A1\n";
    ASSERT_GE(written.size(), tail.size());
    EXPECT_EQ(written.substr(written.size() - tail.size()), tail);
    EXPECT_NE(written.find("\nx_window_size:500\ny_window_size:550\n"), std::string::npos);

    // A second write replaces the file (the system's plain rename would refuse).
    context.platform.settings.windowWidth = 612;
    writeSettings();
    EXPECT_NE(dir.read("FMS.ini").find("\nx_window_size:612\n"), std::string::npos);

    // Edited in an editor that writes CR LF: every value still reads.
    dir.write("FMS.ini", "show_frame:no\r\nx_window_size:640\r\nFMS1:yes\r\n");
    readSettings();
    EXPECT_TRUE(context.platform.settings.frameless);
    EXPECT_EQ(context.platform.settings.windowWidth, 640);
    EXPECT_TRUE(context.platform.settings.unitIsFms1);
}
