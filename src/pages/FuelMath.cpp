#include "pages/FuelMath.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kKgPerLb = 0.453592;
constexpr double kLbPerKg = 2.20462;
constexpr double kLbPerUsGallon = 6.8;
constexpr double kImpPerUsGallon = 0.832674;
constexpr double kLitresPerUsGallon = 3.78541;
constexpr double kImpPerLitre = 0.219969;

// The rest of the chain from a quantity in pounds.
void fromPounds(FuelUnitValues& v, bool keepKilograms) {
    const int lb = v[static_cast<int>(FuelUnit::Pounds)];
    if (!keepKilograms) v[static_cast<int>(FuelUnit::Kilograms)] = wholePart(lb * kKgPerLb);
    const int usGal = wholePart(lb / kLbPerUsGallon);
    v[static_cast<int>(FuelUnit::UsGallons)] = usGal;
    v[static_cast<int>(FuelUnit::ImperialGallons)] = wholePart(usGal * kImpPerUsGallon);
    v[static_cast<int>(FuelUnit::Litres)] = wholePart(usGal * kLitresPerUsGallon);
}

// The rest of the chain from a quantity in US gallons.
void fromUsGallons(FuelUnitValues& v, bool keepImperial, bool keepLitres) {
    const int usGal = v[static_cast<int>(FuelUnit::UsGallons)];
    const int lb = wholePart(usGal * kLbPerUsGallon);
    v[static_cast<int>(FuelUnit::Pounds)] = lb;
    v[static_cast<int>(FuelUnit::Kilograms)] = wholePart(lb * kKgPerLb);
    if (!keepImperial) v[static_cast<int>(FuelUnit::ImperialGallons)] = wholePart(usGal * kImpPerUsGallon);
    if (!keepLitres) v[static_cast<int>(FuelUnit::Litres)] = wholePart(usGal * kLitresPerUsGallon);
}

}  // namespace

int wholePart(double value) {
    if (!std::isfinite(value)) return 0;
    // Products of whole numbers and the unit factors land a few ulps below the whole number
    // they stand for; a nudge far below any shown digit puts them back.
    const double nudged = value + (value >= 0.0 ? 1e-7 : -1e-7);
    if (nudged >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (nudged <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(nudged);
}

FuelUnitValues convertFuel(FuelUnit unit, int value) {
    FuelUnitValues v{};
    v[static_cast<int>(unit)] = value;
    switch (unit) {
        case FuelUnit::Pounds:
            fromPounds(v, false);
            break;
        case FuelUnit::Kilograms:
            v[static_cast<int>(FuelUnit::Pounds)] = wholePart(value * kLbPerKg);
            fromPounds(v, true);
            break;
        case FuelUnit::UsGallons:
            fromUsGallons(v, false, false);
            break;
        case FuelUnit::ImperialGallons:
            v[static_cast<int>(FuelUnit::UsGallons)] = wholePart(value / kImpPerUsGallon);
            fromUsGallons(v, true, false);
            break;
        case FuelUnit::Litres:
            v[static_cast<int>(FuelUnit::ImperialGallons)] = wholePart(value * kImpPerLitre);
            v[static_cast<int>(FuelUnit::UsGallons)] =
                wholePart(v[static_cast<int>(FuelUnit::ImperialGallons)] / kImpPerUsGallon);
            fromUsGallons(v, true, true);
            break;
    }
    return v;
}

double timeToGoHours(double distanceNm, int groundSpeedKt) {
    if (groundSpeedKt < 1 || !std::isfinite(distanceNm)) return 0.0;
    return distanceNm / groundSpeedKt;
}

int fuelForHours(int flowLbH, double hours) {
    return wholePart(static_cast<double>(flowLbH) * hours);
}

double enduranceHours(int fuelLb, int flowLbH) {
    return flowLbH >= 1 ? static_cast<double>(fuelLb) / flowLbH : 0.0;
}

int rangeNm(int groundSpeedKt, double hours) {
    return wholePart(static_cast<double>(groundSpeedKt) * hours);
}

HoursMinutes splitHours(double hours) {
    const int totalMinutes = wholePart(hours * 60.0);
    return {totalMinutes / 60, totalMinutes % 60};
}

HoursMinutes clockAfter(int hour, int minute, double hours) {
    const int minutesToGo = wholePart(hours * 60.0) % 1440;
    const int total = ((hour * 60 + minute + minutesToGo) % 1440 + 1440) % 1440;
    return {total / 60, total % 60};
}

int minutesSince(int fromHour, int fromMinute, int toHour, int toMinute) {
    const int difference = (toHour * 60 + toMinute) - (fromHour * 60 + fromMinute);
    return (difference % 1440 + 1440) % 1440;
}

int wrapHour(int hour) {
    return (hour % 24 + 24) % 24;
}
