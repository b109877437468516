// Metric records as theme files hold them: every byte of the record as a
// decimal number followed by a blank, the installer's parse and the backup's
// format of the same text.
#pragma once

#include "platform/records.h"

// Each parse stops at the end of the text; complete is cleared when the text
// held fewer numbers than the record has bytes.
const char *ParseMetricInt(const char *text, int32_t *value, bool *complete);
const char *ParseLogFont(LogFontRecord *font, const char *text, bool *complete);
const char *ParseIconMetrics(IconMetricsRecord *metrics, const char *text, bool *complete);
bool ParseNonclientMetrics(NonclientMetricsRecord *metrics, const char *text);

// Each format appends to the text at `at` and returns the end of what it
// appended.
char *FormatMetricInt(int32_t value, char *at);
char *FormatLogFont(const LogFontRecord *font, char *at);
char *FormatIconMetrics(const IconMetricsRecord *metrics, char *at);
char *FormatNonclientMetrics(const NonclientMetricsRecord *metrics, char *at);
