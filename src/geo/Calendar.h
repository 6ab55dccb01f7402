#pragma once

#include <cstdint>

// Calendar arithmetic of the system (proleptic Gregorian calendar, UTC): the date of a
// simulator's day of the year, database cycle dates, the stand-in simulator's clock.

struct CivilDate {
    int year = 1970;
    int month = 1;  // 1..12
    int day = 1;    // 1..31
};

// Days since 1970-01-01, and back.
int64_t daysFromCivil(const CivilDate& date);
CivilDate civilFromDays(int64_t days);

// The date of day `dayOfYear` (1 = 1 January) of `year`; false, leaving `out` alone, when the
// year has no such day.
bool dateFromDayOfYear(int year, int dayOfYear, CivilDate& out);

// 1 for 1 January.
int dayOfYear(const CivilDate& date);

// "JAN".."DEC" for months 1..12, "" otherwise.
const char* monthAbbreviation(int month);
