#include <gtest/gtest.h>

#include <string>

#include "shell/Fms.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "platform/KeyStore.h"
#include "shell/DataFolder.h"
#include "shell/EventLog.h"

namespace {

// A context whose key store is a file at `path`.
struct KeyStoreContext {
    explicit KeyStoreContext(const std::string& path) : store(path) { context.platform.keyStore = &store; }
    FileKeyStore store;
    Fms context;
    ScopedFms current{context};
};

}  // namespace

TEST(KeyStore, LivesUnderTheUsersConfigFolder) {
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/tmp/cfg");
        EXPECT_EQ(FileKeyStore::defaultPath(), "/tmp/cfg/fms/keystore.ini");
    }
    ScopedEnv config("XDG_CONFIG_HOME", nullptr);
    ScopedEnv home("HOME", "/home/pilot");
    EXPECT_EQ(FileKeyStore::defaultPath(), "/home/pilot/.config/fms/keystore.ini");
}

TEST(KeyStore, ThePublishedDataPathSurvivesInTheFile) {
    TempDir dir;
    KeyStoreContext k((dir.path() / "cfg/fms/keystore.ini").string());
    k.context.platform.dataRoot = "/opt/fms/run";
    testing::internal::CaptureStdout();
    publishDataPath();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating registry key: SOFTWARE\\ORX1-FMS\n");
    EXPECT_EQ(dir.read("cfg/fms/keystore.ini"), "[SOFTWARE\\ORX1-FMS]\nPath=/opt/fms/run/data\n");

    // A second run finds the key and replaces the value.
    k.context.platform.dataRoot = "/srv/other";
    testing::internal::CaptureStdout();
    publishDataPath();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(FileKeyStore(k.store.path()).getString("SOFTWARE\\ORX1-FMS", "Path").value_or(""),
              "/srv/other/data");
}

TEST(KeyStore, KeepsOtherKeysAndOddValuesAndSurvivesAGarbledFile) {
    TempDir dir;
    dir.write("keystore.ini", "junk line\n=x\n[A]\nfirst=1\n[B]\n\x01\xff=\n");
    FileKeyStore store((dir.path() / "keystore.ini").string());
    int error = 0;
    EXPECT_TRUE(store.keyExists("A"));
    ASSERT_TRUE(store.setString("B", "multi", "line one\nback\\slash", error));
    EXPECT_EQ(store.getString("B", "multi").value_or(""), "line one\nback\\slash");
    EXPECT_EQ(store.getString("A", "first").value_or(""), "1");
    EXPECT_FALSE(store.getString("A", "missing").has_value());
    // A value under a key that does not exist, or a name that would not read back, fails.
    EXPECT_FALSE(store.setString("C", "x", "1", error));
    EXPECT_FALSE(store.setString("A", "a=b", "1", error));
    EXPECT_FALSE(store.createKey("bad]key", error));
}

TEST(KeyStore, AStoreThatCannotBeWrittenIsReportedOnTheConsole) {
    TempDir dir;
    dir.write("blocker", "a file where the folder should be");
    KeyStoreContext k((dir.path() / "blocker/fms/keystore.ini").string());
    testing::internal::CaptureStdout();
    publishDataPath();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.rfind("Creating registry key: SOFTWARE\\ORX1-FMS\nError: ", 0), 0u) << out;
    EXPECT_NE(out.find(" Could not find or create SOFTWARE\\ORX1-FMS\n"), std::string::npos) << out;
}

TEST(EventLog, EntriesCarryTheFixedWidthLocalTime) {
    ScopedEnv tz("TZ", "UTC");
    tzset();
    EXPECT_EQ(formatLogTime(0), "Thu Jan  1 00:00:00 1970");
    EXPECT_EQ(formatLogTime(1700000000), "Tue Nov 14 22:13:20 2023");

    TempDir dir;
    Fms context;
    ScopedFms current(context);
    context.platform.dataRoot = dir.str();
    logEvent("Recieved Key:  12 ");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "log.txt"));  // only with debugging on
    context.platform.settings.enableDebug = true;
    logEvent("Recieved Key:  12 ");
    logEvent("Recieved Key:  3 ");
    // Each entry: the text, the 24-character time, a line break.
    const std::string log = dir.read("log.txt");
    ASSERT_EQ(log.size(), 18u + 25u + 17u + 25u);
    EXPECT_EQ(log.substr(0, 18), "Recieved Key:  12 ");
    EXPECT_EQ(log[18 + 24], '\n');
    EXPECT_EQ(log.substr(43, 17), "Recieved Key:  3 ");
    EXPECT_EQ(log.back(), '\n');
}
