#pragma once

#include <array>

// The arithmetic of the FUEL pages. Quantities are whole pounds, flows pounds per hour,
// speeds knots, times hours; every result is truncated toward zero as the pages show it.

// The five units of the FUEL OPTIONS converter, in the order of its lines.
enum class FuelUnit { Pounds = 0, Kilograms = 1, UsGallons = 2, ImperialGallons = 3, Litres = 4 };
using FuelUnitValues = std::array<int, 5>;  // indexed by FuelUnit

// A typed quantity in `unit` and the other four computed from it, one truncated step at a time:
// 1 lb = 0.453592 kg, 1 kg = 2.20462 lb, 1 US gallon of fuel = 6.8 lb, 1 US gallon =
// 0.832674 imperial gallon = 3.78541 litres, 1 litre = 0.219969 imperial gallon.
FuelUnitValues convertFuel(FuelUnit unit, int value);

// Truncation toward zero that ignores the representation error of a product that is meant
// to be whole (100 x 6.8 is 680, not 679), and saturates at the int range.
int wholePart(double value);

// Hours to cover `distanceNm` at `groundSpeedKt`; 0 below 1 kt.
double timeToGoHours(double distanceNm, int groundSpeedKt);
// Fuel burnt at `flowLbH` in `hours`.
int fuelForHours(int flowLbH, double hours);
// Hours that `fuelLb` lasts at `flowLbH`; 0 below a flow of 1.
double enduranceHours(int fuelLb, int flowLbH);
// Distance flown at `groundSpeedKt` in `hours`.
int rangeNm(int groundSpeedKt, double hours);

struct HoursMinutes {
    int hours = 0;
    int minutes = 0;
};
// Whole hours and the whole minutes that remain.
HoursMinutes splitHours(double hours);
// The time of day `hours` after hour:minute, wrapped at 24 hours.
HoursMinutes clockAfter(int hour, int minute, double hours);
// Minutes from one time of day to a later one, across midnight when it lies earlier (0..1439).
int minutesSince(int fromHour, int fromMinute, int toHour, int toMinute);
// An hour plus an offset of whole hours, wrapped into 0..23.
int wrapHour(int hour);
