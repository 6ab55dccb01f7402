#pragma once

#include <string>
#include <string_view>

#include "platform/Settings.h"

// Applies every recognised line of an FMS.ini text: lines split at runs of ':' into
// non-empty pieces, key and value compared exactly, later lines overriding earlier ones.
void applySettingsText(Settings& settings, std::string_view text);

// The complete FMS.ini text for `settings`, with (x, y) as the window position.
std::string formatSettings(const Settings& settings, int windowX, int windowY);

// "FMS.ini" in the data root can be opened for reading.
bool settingsFileExists();

// Reads FMS.ini into platform().settings; nothing changes when it cannot be opened.
void readSettings();

// Rewrites FMS.ini completely from platform().settings, with the position of the window's
// normal placement (refreshed from the window when there is one). An unwritable file is
// left as it was.
void writeSettings();
