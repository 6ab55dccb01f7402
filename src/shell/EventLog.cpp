#include "shell/EventLog.h"

#include <cstdio>

#include "shell/Fms.h"
#include "platform/Clock.h"
#include "platform/Files.h"

std::string formatLogTime(std::time_t when) {
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm t{};
    if (localtime_r(&when, &t) == nullptr || t.tm_wday < 0 || t.tm_wday > 6 || t.tm_mon < 0 ||
        t.tm_mon > 11) {
        return "??? ??? ?? ??:??:?? ????";
    }
    char text[64];
    std::snprintf(text, sizeof text, "%s %s %2d %02d:%02d:%02d %d", kDays[t.tm_wday], kMonths[t.tm_mon],
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 1900 + t.tm_year);
    return text;
}

void logEvent(std::string_view message) {
    if (!platform().settings.enableDebug) return;
    Clock* clock = platform().clock;
    const std::time_t now = clock != nullptr ? clock->wallTime() : std::time(nullptr);
    std::FILE* file = std::fopen(dataPath("log.txt").c_str(), "ab");
    if (file == nullptr) return;
    std::fwrite(message.data(), 1, message.size(), file);
    const std::string time = formatLogTime(now);
    std::fwrite(time.data(), 1, time.size(), file);
    std::fputc('\n', file);
    std::fclose(file);
}
