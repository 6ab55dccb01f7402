#pragma once

// Positions as the pages show them: a hemisphere letter and whole degrees with minutes.

inline char latitudeHemisphere(double latitude) {
    return latitude < 0.0 ? 'S' : 'N';
}
inline char longitudeHemisphere(double longitude) {
    return longitude < 0.0 ? 'W' : 'E';
}

struct DegreesMinutes {
    int degrees = 0;
    double minutes = 0.0;  // already rounded to the shown number of decimals
};

// Whole degrees and minutes of |value|, the minutes rounded to `decimals` places. A value that
// rounds up to a full 60 minutes carries into the degrees, so "33 60.0" is never shown for a
// latitude just below 34.
DegreesMinutes degreesMinutes(double value, int decimals);
