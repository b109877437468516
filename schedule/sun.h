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
//
// The day is the one whose noon falls near 720 - 4 * longitude minutes after
// 00:00 UTC of the date: east of about 90 degrees the sunrise comes before
// 00:00 UTC (a negative riseMinutes), west of about -90 degrees the sunset
// comes after 24:00 UTC. Rise and set are the moments the sun's centre is
// 0.833 degrees below a level horizon (its half width and the air's
// refraction), with the sun's place taken at each event's own moment.
// Polar night and midnight sun leave both times 0; a day on which the sun
// only rises or only sets (at the edge of either) counts as the one whose
// event is missing: a sun that rises and does not set is a midnight sun.
SunDay SunTimesUtc(int year, int month, int day, double latitude, double longitude);

// The Julian day number at 00:00 UTC of a Gregorian date (2451544.5 for
// 2000-01-01).
double JulianDayAtMidnight(int year, int month, int day);
