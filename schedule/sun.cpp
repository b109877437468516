#include "schedule/sun.h"

SunDay SunTimesUtc(int, int, int, double, double) { return SunDay{kSunPolarNight, 0, 0}; }
