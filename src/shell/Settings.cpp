#include "shell/Settings.h"

#include <unistd.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <sstream>
#include <vector>

#include "cdu/CduState.h"
#include "navdb/SplitFields.h"
#include "platform/Platform.h"
#include "platform/Window.h"
#include "platform/Files.h"

namespace {

constexpr const char* kSettingsFile = "FMS.ini";
// FMS.ini is a few hundred bytes; anything past this is not a settings file.
constexpr size_t kMaxSettingsBytes = 1 << 20;

constexpr const char* kHeader[] = {
    "*****************************************************************************",
    "* x_size, y_size                  - size of window in pixels                *",
    "* x_position, y_position          - position of window on screen in pixels  *",
    "* x_scale, y_scale (default 0)    - used to size the graphics in the window *",
    "* x_scale, y_scale (default 0)    - used to size the graphics in the window *",
    "* x_graphics_position (default 0) - used to shift the graphics in the window*",
    "* y_graphics_position (default 0) - used to shift graphics in the window    *",
    "* show_frame                      - display windows frame (yes,no)          *",
    "* hardware_mode                   - used to set if using graphical bezel    *",
    "*                                   or hardware bezel, i.e keypad (yes, no) *",
    "* FMS1                            - Sets FMS mode to 1 or 2, (yes, no)      *",
    "* FMS1_xfill                      - Sets FMS 1 to push or pull data to FMS2 *",
    "*                                   Note this will set FMS2 to the oposite  *",
    "* Enable_dual_FMS                 - Enables key press handling for dual FMS *",
    "*                                   installations(yes, no)                  *",
    "* Display_Brightness              - Set from ON/OFF/DIM Key (DO NOT EDIT)   *",
    "* Text_Key_Alignment              - Set from ON/OFF/DIM Key (DO NOT EDIT)   *",
    "* Enable Debug Window             - enable debug window (yes, no)           *",
    "*****************************************************************************",
};

// The leading decimal number of `value` as atof reads it (0 without one). Infinities and
// NaN read 0 so that a damaged file cannot poison the brightness or the graphics offsets.
float leadingDecimal(std::string_view value) {
    const double v = fieldDouble(value);
    if (!std::isfinite(v)) return 0.0f;
    if (v > FLT_MAX) return FLT_MAX;
    if (v < -FLT_MAX) return -FLT_MAX;
    return static_cast<float>(v);
}

// "no" -> false, "yes" -> true, anything else leaves the setting as it was.
void yesNoOrKeep(bool& setting, std::string_view value) {
    if (value == "no") setting = false;
    if (value == "yes") setting = true;
}

void applyLine(Settings& s, std::string_view line) {
    std::vector<std::string_view> pieces;
    splitFieldViews(line, ":", pieces);
    if (pieces.size() < 2) return;
    const std::string_view key = pieces[0];
    const std::string_view value = pieces[1];
    if (key == "x_window_size") s.windowWidth = fieldInt(value);
    if (key == "y_window_size") s.windowHeight = fieldInt(value);
    if (key == "x_window_position") s.windowX = fieldInt(value);
    if (key == "y_window_position") s.windowY = fieldInt(value);
    if (key == "x_graphics_position") s.xGraphicsPosition = leadingDecimal(value);
    if (key == "y_graphics_position") s.yGraphicsPosition = leadingDecimal(value);
    if (key == "x_graphic_scale") s.xGraphicScale = leadingDecimal(value);
    if (key == "y_graphic_scale") s.yGraphicScale = leadingDecimal(value);
    if (key == "show_frame") {
        bool shown = !s.frameless;
        yesNoOrKeep(shown, value);
        s.frameless = !shown;
    }
    if (key == "hardware_mode") yesNoOrKeep(s.hardwareMode, value);
    if (key == "basic_weight") s.basicWeight = fieldInt(value);
    if (key == "FMS1") yesNoOrKeep(s.unitIsFms1, value);
    if (key == "FMS1_Xfill") {
        if (value == "push") s.fms1Xfill = Xfill::Push;
        if (value == "pull") s.fms1Xfill = Xfill::Pull;
    }
    if (key == "Enable_dual_FMS") s.enableDualFms = value == "yes";
    if (key == "Display_Brightness") s.dimLevel = leadingDecimal(value);
    if (key == "Text_Key_Alignment") s.textKeyAlignment = leadingDecimal(value);
    if (key == "Enable_Debug") s.enableDebug = value == "yes";
    if (key == "Enable_Arduino") s.enableArduino = value == "yes";
}

const char* yesNo(bool value) {
    return value ? "yes" : "no";
}

}  // namespace

void applySettingsText(Settings& settings, std::string_view text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        // A file edited on Windows keeps its carriage returns; text reading drops them.
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        applyLine(settings, line);
        start = end + 1;
    }
}

std::string formatSettings(const Settings& s, int windowX, int windowY) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    for (const char* line : kHeader) out << line << '\n';
    out << "x_window_size:" << s.windowWidth << '\n';
    out << "y_window_size:" << s.windowHeight << '\n';
    out << "x_window_position:" << windowX << '\n';
    out << "y_window_position:" << windowY << '\n';
    out << "x_graphics_position:" << s.xGraphicsPosition << '\n';
    out << "y_graphics_position:" << s.yGraphicsPosition << '\n';
    out << "x_graphic_scale:" << s.xGraphicScale << '\n';
    out << "y_graphic_scale:" << s.yGraphicScale << '\n';
    out << "show_frame:" << yesNo(!s.frameless) << '\n';
    out << "hardware_mode:" << yesNo(s.hardwareMode) << '\n';
    out << "basic_weight:" << s.basicWeight << '\n';
    out << "FMS1:" << yesNo(s.unitIsFms1) << '\n';
    out << "FMS1_Xfill:" << (s.fms1Xfill == Xfill::Pull ? "pull" : "push") << '\n';
    out << "Enable_dual_FMS:" << yesNo(s.enableDualFms) << '\n';
    out << "Display_Brightness:" << s.dimLevel << '\n';
    out << "Text_Key_Alignment:" << s.textKeyAlignment << '\n';
    out << "Enable_Debug:" << yesNo(s.enableDebug) << '\n';
    out << "Enable_Arduino:" << yesNo(s.enableArduino) << '\n';
    if (!s.enableArduino) out << '\n';
    out << "-----Software Build Info------\n";
    out << "1.2 A1\n";
    return out.str();
}

bool settingsFileExists() {
    std::FILE* file = std::fopen(dataPath(kSettingsFile).c_str(), "rb");
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

void readSettings() {
    std::string text;
    if (readFileCapped(dataPath(kSettingsFile), text, kMaxSettingsBytes)) applySettingsText(platform().settings, text);
}

void writeSettings() {
    CduState& cdu = cduState();
    if (Window* window = platform().window) window->normalPosition(cdu.placementX, cdu.placementY);
    const std::string path = dataPath(kSettingsFile);
    // A read-only FMS.ini stays as it is, as it would if opening it for writing failed.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) return;
    writeFileAtomically(path, formatSettings(platform().settings, cdu.placementX, cdu.placementY));
}
