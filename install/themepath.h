// Path variables of theme files and the rule that expands them.
#pragma once

#include "platform/records.h"

#include <stddef.h>

// dest (kPathSize characters) = value with a leading "%WinDir%" or
// "%ThemeDir%" (exact case) replaced by the folder and a backslash. A result
// longer than the buffer is cut to it. Returns the length written.
size_t ExpandThemePath(char *dest, const char *value);

// Metric records as theme files hold them: the bytes as decimal numbers.
// Each parse stops at the end of the text; complete is cleared when the text
// held fewer numbers than the record has bytes.
const char *ParseMetricInt(const char *text, int32_t *value, bool *complete);
const char *ParseLogFont(LogFontRecord *font, const char *text, bool *complete);
const char *ParseIconMetrics(IconMetricsRecord *metrics, const char *text, bool *complete);
bool ParseNonclientMetrics(NonclientMetricsRecord *metrics, const char *text);
