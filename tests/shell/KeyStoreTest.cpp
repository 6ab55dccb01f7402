#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "Fms.h"
#include "TempDir.h"
#include "platform/KeyStore.h"
#include "shell/DataPath.h"
#include "shell/EventLog.h"

namespace {

// Sets an environment variable for the scope and restores the previous value.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        hadOld_ = old != nullptr;
        if (hadOld_) old_ = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (hadOld_) {
            setenv(name_, old_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    bool hadOld_ = false;
    std::string old_;
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
    FileKeyStore store((dir.path() / "cfg/fms/keystore.ini").string());
    Fms context;
    ScopedFms current(context);
    context.platform.keyStore = &store;
    context.shell.dataRoot = "/opt/fms/run";

    testing::internal::CaptureStdout();
    publishDataPath();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Creating registry key: SOFTWARE\\ORX1-FMS\n");
    EXPECT_EQ(dir.read("cfg/fms/keystore.ini"), "[SOFTWARE\\ORX1-FMS]\nPath=/opt/fms/run/data\n");

    // A second run finds the key and replaces the value.
    context.shell.dataRoot = "/srv/other";
    testing::internal::CaptureStdout();
    publishDataPath();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    FileKeyStore reread(store.path());
    EXPECT_EQ(reread.getString("SOFTWARE\\ORX1-FMS", "Path").value_or(""), "/srv/other/data");
}

TEST(KeyStore, KeepsOtherKeysAndOddValuesAndSurvivesAGarbledFile) {
    TempDir dir;
    const std::string path = (dir.path() / "keystore.ini").string();
    dir.write("keystore.ini", "junk line\n=x\n[A]\nfirst=1\n[B]\n\x01\xff=\n");
    FileKeyStore store(path);
    int error = 0;
    EXPECT_TRUE(store.keyExists("A"));
    ASSERT_TRUE(store.setString("B", "multi", "line one\nback\\slash", error));
    EXPECT_EQ(store.getString("B", "multi").value_or(""), "line one\nback\\slash");
    EXPECT_EQ(store.getString("A", "first").value_or(""), "1");
    EXPECT_FALSE(store.getString("A", "missing").has_value());
    // Setting a value under a key that does not exist, or with a name that would not read
    // back, fails.
    EXPECT_FALSE(store.setString("C", "x", "1", error));
    EXPECT_FALSE(store.setString("A", "a=b", "1", error));
    EXPECT_FALSE(store.createKey("bad]key", error));
}

TEST(KeyStore, AStoreThatCannotBeWrittenIsReportedOnTheConsole) {
    TempDir dir;
    dir.write("blocker", "a file where the folder should be");
    FileKeyStore store((dir.path() / "blocker/fms/keystore.ini").string());
    Fms context;
    ScopedFms current(context);
    context.platform.keyStore = &store;
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
    context.shell.dataRoot = dir.str();
    logEvent("Recieved Key:  12 ");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "log.txt"));
    context.shell.settings.enableDebug = true;
    logEvent("Recieved Key:  12 ");
    logEvent("Recieved Key:  3 ");
    const std::string log = dir.read("log.txt");
    const std::string line1 = "Recieved Key:  12 ";
    ASSERT_EQ(log.size(), line1.size() + 25 + std::string("Recieved Key:  3 ").size() + 25);
    EXPECT_EQ(log.substr(0, line1.size()), line1);
    EXPECT_EQ(log[line1.size() + 24], '\n');
    EXPECT_EQ(log.back(), '\n');
}
