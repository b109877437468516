// Window metrics and fonts: the icon metrics and non-client metrics of a theme
// file, byte lists of the system's records, rebuilt and handed to the system.
#include "install/installtheme.h"
#include "theme/metrictext.h"

#include <string.h>

constexpr unsigned kMetricsTextSize = 16384;

// A value with fewer numbers than its record has bytes (a missing key gives
// none, a value too long for the text none either) is not handed to the
// system: a half-filled record would set garbage fonts and sizes. Each record
// is stored, then the other programs are told once, with a bound.
void ApplyWindowMetrics(const ThemeSource &theme)
{
    static char text[kMetricsTextSize];  // static: 16 KB is much for the window thread's stack
    ProfileGetString("Metrics", "IconMetrics", "", text, sizeof text, theme.file.c_str());
    IconMetricsRecord icon = {};
    bool complete = true;
    ParseIconMetrics(&icon, text, &complete);
    if (complete) {
        SystemParameters(kSpiSetIconMetrics, 0, &icon, kSpifUpdateIniFile);
        BroadcastIniChange(kSpiSetIconMetrics, "WindowMetrics");
    }

    ProfileGetString("Metrics", "NonclientMetrics", "", text, sizeof text, theme.file.c_str());
    NonclientMetricsRecord nonclient = {};
    if (ParseNonclientMetrics(&nonclient, text)) {
        SystemParameters(kSpiSetNonclientMetrics, 0, &nonclient, kSpifUpdateIniFile);
        BroadcastIniChange(kSpiSetNonclientMetrics, "WindowMetrics");
    }
}
