// Metric records as theme files hold them: every byte of the record as a
// decimal number, the numbers separated by blanks.
#include "theme/metrictext.h"

#include "theme/themekeys.h"

#include <initializer_list>

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
    // The system reads the face name up to its zero: a file whose 32 bytes
    // hold none would have it read past the name.
    font->lfFaceName[sizeof font->lfFaceName - 1] = 0;
    return text;
}

const char *ParseIconMetrics(IconMetricsRecord *metrics, const char *text, bool *complete)
{
    // The record's size is the program's, whatever the file says: the system
    // reads as many bytes as it names.
    int32_t size;
    text = ParseMetricInt(text, &size, complete);
    metrics->cbSize = sizeof *metrics;
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
    metrics->cbSize = sizeof *metrics;  // the program's, as for the icon metrics
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

// ------------------------------------------------------------- formatting

// One byte as "%d ": at most four characters, which is what the callers'
// buffers are sized by.
static char *FormatByte(uint8_t value, char *at)
{
    if (value >= 100)
        *at++ = (char)('0' + value / 100);
    if (value >= 10)
        *at++ = (char)('0' + value / 10 % 10);
    *at++ = (char)('0' + value % 10);
    *at++ = ' ';
    *at = 0;
    return at;
}

// A 32-bit field as its four bytes, lowest first ("%d %d %d %d ").
char *FormatMetricInt(int32_t value, char *at)
{
    uint32_t v = (uint32_t)value;
    for (int shift = 0; shift < 32; shift += 8)
        at = FormatByte((uint8_t)(v >> shift), at);
    return at;
}

char *FormatLogFont(const LogFontRecord *font, char *at)
{
    for (int32_t field : {font->lfHeight, font->lfWidth, font->lfEscapement, font->lfOrientation, font->lfWeight})
        at = FormatMetricInt(field, at);
    for (uint8_t field : {font->lfItalic, font->lfUnderline, font->lfStrikeOut, font->lfCharSet,
                          font->lfOutPrecision, font->lfClipPrecision, font->lfQuality, font->lfPitchAndFamily})
        at = FormatByte(field, at);
    for (char c : font->lfFaceName)
        at = FormatByte((uint8_t)c, at);
    return at;
}

char *FormatIconMetrics(const IconMetricsRecord *m, char *at)
{
    at = FormatMetricInt((int32_t)m->cbSize, at);
    at = FormatMetricInt(m->iHorzSpacing, at);
    at = FormatMetricInt(m->iVertSpacing, at);
    at = FormatMetricInt(m->iTitleWrap, at);
    return FormatLogFont(&m->lfFont, at);
}

char *FormatNonclientMetrics(const NonclientMetricsRecord *m, char *at)
{
    for (int32_t field : {(int32_t)m->cbSize, m->iBorderWidth, m->iScrollWidth, m->iScrollHeight,
                          m->iCaptionWidth, m->iCaptionHeight})
        at = FormatMetricInt(field, at);
    at = FormatLogFont(&m->lfCaptionFont, at);
    at = FormatMetricInt(m->iSmCaptionWidth, at);
    at = FormatMetricInt(m->iSmCaptionHeight, at);
    at = FormatLogFont(&m->lfSmCaptionFont, at);
    at = FormatMetricInt(m->iMenuWidth, at);
    at = FormatMetricInt(m->iMenuHeight, at);
    at = FormatLogFont(&m->lfMenuFont, at);
    at = FormatLogFont(&m->lfStatusFont, at);
    return FormatLogFont(&m->lfMessageFont, at);
}
