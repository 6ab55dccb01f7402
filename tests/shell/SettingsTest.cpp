#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "TempDir.h"
#include "cdu/WindowControl.h"
#include "shell/Fms.h"
#include "shell/Settings.h"

namespace {

// The text after the comment header: 19 lines of 77 characters, each framed by '*'.
std::string body(const std::string& text) {
    size_t at = 0;
    for (int line = 0; line < 19; ++line) {
        const size_t end = text.find('\n', at);
        if (end == std::string::npos || end - at != 77 || text[at] != '*' || text[end - 1] != '*') {
            ADD_FAILURE() << "header line " << line << " of\n" << text;
            return text;
        }
        at = end + 1;
    }
    return text.substr(at);
}

const char* const kDefaultSettings =
    "x_window_size:500\n"
    "y_window_size:550\n"
    "x_window_position:0\n"
    "y_window_position:0\n"
    "x_graphics_position:0\n"
    "y_graphics_position:0\n"
    "x_graphic_scale:0\n"
    "y_graphic_scale:0\n"
    "show_frame:yes\n"
    "hardware_mode:no\n"
    "basic_weight:0\n"
    "FMS1:no\n"
    "FMS1_Xfill:push\n"
    "Enable_dual_FMS:no\n"
    "Display_Brightness:0\n"
    "Text_Key_Alignment:0\n"
    "Enable_Debug:no\n"
    "Enable_Arduino:no\n"
    "\n"
    "-----Software Build Info------\n"
    "1.2 A1\n";

Settings parsed(std::string_view text) {
    Settings s;
    applySettingsText(s, text);
    return s;
}

struct SettingsFile : ::testing::Test {
    TempDir dir;
    Fms context;
    ScopedFms current{context};
    SettingsFile() { context.platform.dataRoot = dir.str(); }
};

}  // namespace

TEST(SettingsText, TheDefaultFileByteForByte) {
    EXPECT_EQ(body(formatSettings(Settings{}, 0, 0)), kDefaultSettings);
}

TEST(SettingsText, ChangedValuesAreWrittenAndReadBack) {
    const Settings s{.windowWidth = 540,
                     .windowHeight = 600,
                     .xGraphicsPosition = -0.25f,
                     .yGraphicScale = 0.125f,
                     .frameless = true,
                     .hardwareMode = true,
                     .basicWeight = 14500,
                     .unitIsFms1 = true,
                     .fms1Xfill = Xfill::Pull,
                     .enableDualFms = true,
                     .dimLevel = 0.3f,
                     .textKeyAlignment = -1.2f,
                     .enableDebug = true,
                     .enableArduino = true,
                     .keypadPort = "/dev/ttyACM1"};
    const std::string text = formatSettings(s, 120, -8);
    EXPECT_EQ(body(text),
              "x_window_size:540\ny_window_size:600\nx_window_position:120\ny_window_position:-8\n"
              "x_graphics_position:-0.25\ny_graphics_position:0\nx_graphic_scale:0\ny_graphic_scale:0.125\n"
              "show_frame:no\nhardware_mode:yes\nbasic_weight:14500\nFMS1:yes\nFMS1_Xfill:pull\n"
              "Enable_dual_FMS:yes\nDisplay_Brightness:0.3\nText_Key_Alignment:-1.2\nEnable_Debug:yes\n"
              "Enable_Arduino:yes\nArduino_Port:/dev/ttyACM1\n-----Software Build Info------\n1.2 A1\n");

    // Read back and written again, every field comes out the same.
    const Settings back = parsed(text);
    EXPECT_EQ(formatSettings(back, back.windowX, back.windowY), text);
}

TEST(SettingsText, ReaderRules) {
    // Colon runs are one separator; a key without a value is ignored; later lines win.
    EXPECT_EQ(parsed("x_window_size::800\n").windowWidth, 800);
    EXPECT_EQ(parsed("x_window_size:\n").windowWidth, 500);
    EXPECT_EQ(parsed("x_window_size:700\nx_window_size:640:extra\n").windowWidth, 640);
    // Exact, case-sensitive keys and values.
    EXPECT_FALSE(parsed("hardware_mode:maybe\n").hardwareMode);
    EXPECT_EQ(parsed("X_window_size:800\n").windowWidth, 500);
    // Unknown two-choice values keep show_frame, hardware_mode, FMS1 and FMS1_Xfill ...
    const Settings kept = parsed(
        "show_frame:no\nFMS1:yes\nFMS1_Xfill:pull\nhardware_mode:yes\n"
        "show_frame:off\nFMS1:1\nFMS1_Xfill:both\nhardware_mode:YES\n");
    EXPECT_TRUE(kept.frameless);
    EXPECT_TRUE(kept.unitIsFms1);
    EXPECT_EQ(kept.fms1Xfill, Xfill::Pull);
    EXPECT_TRUE(kept.hardwareMode);
    // ... and switch the other three off.
    const Settings off = parsed(
        "Enable_Arduino:yes\nEnable_Debug:yes\nEnable_dual_FMS:yes\n"
        "Enable_Arduino:YES\nEnable_Debug:on\nEnable_dual_FMS:y\n");
    EXPECT_FALSE(off.enableArduino || off.enableDebug || off.enableDualFms);
    // Numbers convert like atoi / atof; damaged values never poison the settings.
    EXPECT_EQ(parsed("y_window_size:600px\n").windowHeight, 600);
    EXPECT_EQ(parsed("y_window_size:abc\n").windowHeight, 0);
    EXPECT_EQ(parsed("basic_weight:99999999999999\n").basicWeight, 2147483647);
    EXPECT_EQ(parsed("x_window_position:-99999999999999\n").windowX, -2147483647 - 1);
    EXPECT_FLOAT_EQ(parsed("Display_Brightness:0.5x\n").dimLevel, 0.5f);
    EXPECT_FLOAT_EQ(parsed("Display_Brightness:nan\n").dimLevel, 0.0f);
    EXPECT_FLOAT_EQ(parsed("Display_Brightness:1e999\n").dimLevel, 0.0f);
    EXPECT_FLOAT_EQ(parsed("Text_Key_Alignment:-1e300\n").textKeyAlignment, -3.40282347e38f);
    // Windows line ends, lines without colon, a missing final line break.
    const Settings crlf = parsed("comment\r\nshow_frame:no\r\nx_window_size:640");
    EXPECT_TRUE(crlf.frameless);
    EXPECT_EQ(crlf.windowWidth, 640);
}

TEST(SettingsText, TheKeypadPortTakesTheWholePathAndIsWrittenOnlyWhenSet) {
    // Device links under /dev/serial/by-path hold colons; blanks around the value are dropped.
    const std::string byPath = "/dev/serial/by-path/pci-0000:00:14.0-usb-0:2:1.0-port0";
    const Settings s = parsed("Enable_Arduino:yes\nArduino_Port: " + byPath + " \r\n");
    EXPECT_EQ(s.keypadPort, byPath);
    const std::string text = formatSettings(s, 0, 0);
    EXPECT_NE(text.find("Enable_Arduino:yes\nArduino_Port:" + byPath + "\n-----Software Build Info"),
              std::string::npos);
    EXPECT_EQ(parsed(text).keypadPort, byPath);
    // A line without a value leaves the search on; the default file has no such line.
    EXPECT_EQ(parsed("Arduino_Port:/dev/ttyUSB0\nArduino_Port:\n").keypadPort, "/dev/ttyUSB0");
    EXPECT_EQ(formatSettings(Settings{}, 0, 0).find("Arduino_Port"), std::string::npos);
}

TEST_F(SettingsFile, AOneLineFileIsReadAndReplacedByTheWholeFile) {
    EXPECT_FALSE(settingsFileExists());
    dir.write("FMS.ini", "show_frame:no");
    ASSERT_TRUE(settingsFileExists());
    readSettings();
    EXPECT_TRUE(context.platform.settings.frameless);
    EXPECT_EQ(context.platform.settings.windowWidth, 500);
    writeSettings();
    std::string expected = std::string(kDefaultSettings);
    expected.replace(expected.find("show_frame:yes"), 14, "show_frame:no");
    EXPECT_EQ(body(dir.read("FMS.ini")), expected);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "FMS.ini.tmp"));
}

TEST_F(SettingsFile, AMissingFileChangesNothingAndAReadOnlyFileIsKept) {
    context.platform.settings.windowWidth = 321;
    readSettings();
    EXPECT_EQ(context.platform.settings.windowWidth, 321);

    // (The super-user may write any file, so the read-only case only means something for others.)
    if (geteuid() != 0) {
        dir.write("FMS.ini", "x_window_size:640\n");
        ASSERT_EQ(chmod((dir.path() / "FMS.ini").c_str(), 0444), 0);
        writeSettings();
        EXPECT_EQ(dir.read("FMS.ini"), "x_window_size:640\n");
    }

    // A data root that does not exist: nothing is written, nothing fails.
    context.platform.dataRoot = (dir.path() / "missing").string();
    writeSettings();
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
}

TEST_F(SettingsFile, TheViewportRuleDecidesTheStoredWindowSize) {
    resizeViewport(800, 600);
    EXPECT_EQ(context.platform.settings.windowWidth, 540);
    EXPECT_EQ(context.platform.settings.windowHeight, 600);
    writeSettings();
    const std::string text = dir.read("FMS.ini");
    EXPECT_NE(text.find("\nx_window_size:540\ny_window_size:600\n"), std::string::npos);

    // Rotated: the full width and 0.9 of it high; hardware mode: three quarters of the width
    // and no frame.
    context.cdu.rotationIndex = 1;
    resizeViewport(800, 600);
    EXPECT_EQ(context.platform.settings.windowWidth, 800);
    EXPECT_EQ(context.platform.settings.windowHeight, 720);
    context.platform.settings.hardwareMode = true;
    resizeViewport(1001, 300);
    EXPECT_EQ(context.platform.settings.windowWidth, 1001);
    EXPECT_EQ(context.platform.settings.windowHeight, 750);
    EXPECT_TRUE(context.platform.settings.frameless);
    // Truncation, not rounding: 0.9 * 555 = 499.5.
    EXPECT_EQ(computeViewport(10, 555, false, 0).width, 499);
    EXPECT_EQ(computeViewport(555, 10, false, 2).height, 499);
}
