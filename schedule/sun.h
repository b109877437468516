// Sunrise and sunset at a place on a date.
#pragma once

enum SunDayKind { kSunRisesAndSets, kSunPolarNight, kSunMidnightSun };

struct SunDay {
    SunDayKind kind;
    // Minutes after 00:00 UTC of the date, when the sun rises and sets; below
    // 0 or past 1440 where the place's day does not fall within the UTC date.
    double riseMinutes, setMinutes;
};

// The sun's times on a date (the Gregorian calendar) at a latitude and
// longitude in decimal degrees, north and east positive.
SunDay SunTimesUtc(int year, int month, int day, double latitude, double longitude);
