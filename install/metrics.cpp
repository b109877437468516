// Window metrics and fonts: the icon metrics and non-client metrics of a theme
// file, byte lists of the system's records, rebuilt and handed to the system.
#include "install/installtheme.h"
#include "install/themekeys.h"
#include "install/themepath.h"

#include <string.h>

constexpr unsigned kMetricsTextSize = 16384;

// Steps over one number: forward to the next space, then past the run of
// spaces, never past the end of the text.
static const char *StepNumber(const char *p)
{
    while (*p && *p != ' ')
        p++;
    while (*p == ' ')
        p++;
    return p;
}

const char *ParseMetricInt(const char *text, int32_t *value, bool *complete)
{
    // The four numbers are scanned as one "%d %d %d %d", so later numbers are
    // found across any white space, while the step below counts spaces only.
    uint32_t bytes[4] = {0, 0, 0, 0};
    const char *scan = text;
    for (int i = 0; i < 4; i++) {
        scan = ScanDecimal(scan, &bytes[i]);
        if (!scan) {
            *complete = false;
            break;
        }
    }
    *value = (int32_t)(bytes[0] + 256u * bytes[1] + 65536u * bytes[2] + 16777216u * bytes[3]);
    for (int i = 0; i < 4; i++)
        text = StepNumber(text);
    return text;
}

static const char *ParseByte(const char *text, uint8_t *value, bool *complete)
{
    uint32_t v = 0;
    if (!ScanDecimal(text, &v))
        *complete = false;
    *value = (uint8_t)v;
    return StepNumber(text);
}

const char *ParseLogFont(LogFontRecord *font, const char *text, bool *complete)
{
    int32_t *ints[] = {&font->lfHeight, &font->lfWidth, &font->lfEscapement, &font->lfOrientation, &font->lfWeight};
    for (int32_t *field : ints)
        text = ParseMetricInt(text, field, complete);
    uint8_t *bytes[] = {&font->lfItalic, &font->lfUnderline, &font->lfStrikeOut, &font->lfCharSet,
                        &font->lfOutPrecision, &font->lfClipPrecision, &font->lfQuality, &font->lfPitchAndFamily};
    for (uint8_t *field : bytes)
        text = ParseByte(text, field, complete);
    for (char &c : font->lfFaceName)
        text = ParseByte(text, (uint8_t *)&c, complete);
    return text;
}

const char *ParseIconMetrics(IconMetricsRecord *metrics, const char *text, bool *complete)
{
    int32_t size;
    text = ParseMetricInt(text, &size, complete);
    metrics->cbSize = (uint32_t)size;
    text = ParseMetricInt(text, &metrics->iHorzSpacing, complete);
    text = ParseMetricInt(text, &metrics->iVertSpacing, complete);
    text = ParseMetricInt(text, &metrics->iTitleWrap, complete);
    return ParseLogFont(&metrics->lfFont, text, complete);
}

bool ParseNonclientMetrics(NonclientMetricsRecord *metrics, const char *text)
{
    bool complete = true;
    int32_t size;
    text = ParseMetricInt(text, &size, &complete);
    metrics->cbSize = (uint32_t)size;
    text = ParseMetricInt(text, &metrics->iBorderWidth, &complete);
    text = ParseMetricInt(text, &metrics->iScrollWidth, &complete);
    text = ParseMetricInt(text, &metrics->iScrollHeight, &complete);
    text = ParseMetricInt(text, &metrics->iCaptionWidth, &complete);
    text = ParseMetricInt(text, &metrics->iCaptionHeight, &complete);
    text = ParseLogFont(&metrics->lfCaptionFont, text, &complete);
    text = ParseMetricInt(text, &metrics->iSmCaptionWidth, &complete);
    text = ParseMetricInt(text, &metrics->iSmCaptionHeight, &complete);
    text = ParseLogFont(&metrics->lfSmCaptionFont, text, &complete);
    text = ParseMetricInt(text, &metrics->iMenuWidth, &complete);
    text = ParseMetricInt(text, &metrics->iMenuHeight, &complete);
    text = ParseLogFont(&metrics->lfMenuFont, text, &complete);
    text = ParseLogFont(&metrics->lfStatusFont, text, &complete);
    ParseLogFont(&metrics->lfMessageFont, text, &complete);
    return complete;
}

// A value with fewer numbers than its record has bytes (a missing key gives
// none) is not handed to the system: a half-filled record would set garbage
// fonts and sizes.
void ApplyWindowMetrics()
{
    static char text[kMetricsTextSize];  // static: 16 KB is much for the window thread's stack
    ProfileGetString("Metrics", "IconMetrics", "", text, sizeof text, ThemeFile);
    IconMetricsRecord icon = {};
    bool complete = true;
    ParseIconMetrics(&icon, text, &complete);
    if (complete) {
        SystemParameters(kSpiSetIconMetrics, 0, &icon, kSpifUpdateIniFile | kSpifSendWinIniChange);
        BroadcastIniChange(kSpiSetIconMetrics, "WindowMetrics");
    }

    ProfileGetString("Metrics", "NonclientMetrics", "", text, sizeof text, ThemeFile);
    NonclientMetricsRecord nonclient = {};
    if (ParseNonclientMetrics(&nonclient, text)) {
        SystemParameters(kSpiSetNonclientMetrics, 0, &nonclient, kSpifUpdateIniFile | kSpifSendWinIniChange);
        BroadcastIniChange(kSpiSetNonclientMetrics, "WindowMetrics");
    }
}
