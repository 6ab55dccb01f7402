#include "geo/Calendar.h"

#include <chrono>

namespace {

using std::chrono::day;
using std::chrono::days;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

}  // namespace

int64_t daysFromCivil(const CivilDate& date) {
    const year_month_day ymd{year{date.year}, month{static_cast<unsigned>(date.month)},
                             day{static_cast<unsigned>(date.day)}};
    return sys_days{ymd}.time_since_epoch().count();
}

CivilDate civilFromDays(int64_t count) {
    const year_month_day ymd{sys_days{days{count}}};
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

bool dateFromDayOfYear(int yearNumber, int dayNumber, CivilDate& out) {
    const year y{yearNumber};
    if (dayNumber < 1 || dayNumber > (y.is_leap() ? 366 : 365)) return false;
    const sys_days first{y / std::chrono::January / 1};
    out = civilFromDays((first + days{dayNumber - 1}).time_since_epoch().count());
    return true;
}

int dayOfYear(const CivilDate& date) {
    return static_cast<int>(daysFromCivil(date) - daysFromCivil({date.year, 1, 1})) + 1;
}

const char* monthAbbreviation(int monthNumber) {
    static constexpr const char* kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    return monthNumber >= 1 && monthNumber <= 12 ? kMonths[monthNumber - 1] : "";
}
