#pragma once

#include <ctime>
#include <string>
#include <string_view>

// The local date and time in the fixed 24-character form "Wed Jun 30 21:49:08 1993"
// (English day and month names whatever the locale).
std::string formatLogTime(std::time_t when);

// Appends message + local time + line break to "log.txt" when Enable_Debug is on; otherwise
// does nothing. A log that cannot be written loses the entry silently.
void logEvent(std::string_view message);
