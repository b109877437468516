// The sun's rise and set by the NOAA solar equations: the sun's mean longitude
// and anomaly, the equation of centre, the apparent longitude, the obliquity
// with its nutation term, and from them the declination and the equation of
// time, each evaluated at the moment of the event (found by refinements from
// the day's noon). Angles in degrees unless named otherwise.
#include "schedule/sun.h"

#include <cmath>

static const double kPi = 3.14159265358979323846;
// The sun's centre at rise and set: half its width (16') and the air's
// refraction at the horizon (34') below a level horizon.
static const double kRiseZenithDegrees = 90.833;

static double Radians(double degrees) { return degrees * kPi / 180.0; }
static double Degrees(double radians) { return radians * 180.0 / kPi; }

double JulianDayAtMidnight(int year, int month, int day)
{
    // January and February count as months 13 and 14 of the year before.
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    int century = year / 100;
    int gregorian = 2 - century + century / 4;
    return std::floor(365.25 * (year + 4716)) + std::floor(30.6001 * (month + 1)) + day + gregorian -
           1524.5;
}

struct SunPlace {
    double declination;     // degrees
    double equationOfTime;  // minutes, apparent minus mean solar time
};

// The sun's declination and the equation of time at a Julian day.
static SunPlace SunAt(double julianDay)
{
    double t = (julianDay - 2451545.0) / 36525.0;  // Julian centuries since J2000.0
    double meanLongitude = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    double meanAnomaly = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    double eccentricity = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    double m = Radians(meanAnomaly);
    double centre = std::sin(m) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                    std::sin(2 * m) * (0.019993 - 0.000101 * t) + std::sin(3 * m) * 0.000289;
    double omega = Radians(125.04 - 1934.136 * t);  // the Moon's ascending node
    double apparentLongitude = meanLongitude + centre - 0.00569 - 0.00478 * std::sin(omega);
    double meanObliquity = 23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    double obliquity = Radians(meanObliquity + 0.00256 * std::cos(omega));

    SunPlace place;
    place.declination = Degrees(std::asin(std::sin(obliquity) * std::sin(Radians(apparentLongitude))));
    double y = std::tan(obliquity / 2) * std::tan(obliquity / 2);
    double l0 = Radians(meanLongitude);
    place.equationOfTime =
        4.0 * Degrees(y * std::sin(2 * l0) - 2 * eccentricity * std::sin(m) +
                      4 * eccentricity * y * std::sin(m) * std::cos(2 * l0) - 0.5 * y * y * std::sin(4 * l0) -
                      1.25 * eccentricity * eccentricity * std::sin(2 * m));
    return place;
}

// The cosine of the hour angle at which the sun's centre stands at the rise
// zenith; above 1 it never comes up, below -1 it never goes down.
static double RiseHourAngleCosine(double latitude, double declination)
{
    double phi = Radians(latitude);
    double delta = Radians(declination);
    return (std::cos(Radians(kRiseZenithDegrees)) - std::sin(phi) * std::sin(delta)) /
           (std::cos(phi) * std::cos(delta));
}

// The kind of a cosine of the rise hour angle.
static SunDayKind CosineKind(double cosine)
{
    return cosine > 1.0 ? kSunPolarNight : cosine < -1.0 ? kSunMidnightSun : kSunRisesAndSets;
}

// The rise (side -1) or the set (side +1) in minutes after 00:00 UTC of the
// date: from the hour angle at the day's noon, refined with the sun where the
// last estimate put the event until it moves less than a second. The kind says
// whether the sun reaches the horizon at the event's own time: on the first and
// last days of a midnight sun or a polar night it may at noon and not there.
static SunDayKind EventMinutes(double midnight, double noonMinutes, double noonCosine, double latitude,
                               double longitude, int side, double *minutes)
{
    // Out of reach at noon, look at the sun's lowest or highest point.
    double hourAngle = noonCosine < -1.0 ? 180.0 : noonCosine > 1.0 ? 0.0 : Degrees(std::acos(noonCosine));
    double estimate = noonMinutes + side * 4.0 * hourAngle;
    SunDayKind kind = kSunRisesAndSets;
    for (int pass = 0; pass < 6; ++pass) {
        SunPlace sun = SunAt(midnight + estimate / 1440.0);
        double cosine = RiseHourAngleCosine(latitude, sun.declination);
        kind = CosineKind(cosine);
        if (kind != kSunRisesAndSets)
            break;
        double next = 720.0 - 4.0 * (longitude - side * Degrees(std::acos(cosine))) - sun.equationOfTime;
        bool settled = std::fabs(next - estimate) < 1.0 / 60.0;
        estimate = next;
        if (settled)
            break;
    }
    *minutes = estimate;
    return kind;
}

SunDay SunTimesUtc(int year, int month, int day, double latitude, double longitude)
{
    double midnight = JulianDayAtMidnight(year, month, day);
    // The day's noon: the mean noon at the longitude, corrected by the
    // equation of time there.
    double meanNoon = 720.0 - 4.0 * longitude;
    double noonMinutes = meanNoon - SunAt(midnight + meanNoon / 1440.0).equationOfTime;
    double noonCosine = RiseHourAngleCosine(latitude, SunAt(midnight + noonMinutes / 1440.0).declination);
    SunDay result{kSunRisesAndSets, 0, 0};
    SunDayKind rise = EventMinutes(midnight, noonMinutes, noonCosine, latitude, longitude, -1, &result.riseMinutes);
    SunDayKind set = EventMinutes(midnight, noonMinutes, noonCosine, latitude, longitude, +1, &result.setMinutes);
    // A day on which the sun only rises or only sets counts by the side
    // without its event: the sun that rises and stays up is a midnight sun.
    if (rise != kSunRisesAndSets || set != kSunRisesAndSets)
        result = SunDay{rise != kSunRisesAndSets ? rise : set, 0, 0};
    return result;
}
