// Metric text to its parse: any text, as a theme file's value, into the icon
// and non-client metric records without reading past its end; and any record,
// written as the backup writes it, read back byte for byte but for what the
// program sets itself: the record's size, and a zero at each face name's end.
#include "backup/backup.h"
#include "theme/metrictext.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>
#include <vector>

constexpr size_t kValueSize = 16384;  // the installer's buffer for a metrics value

// The record as a parse must give it back: its size the program's, each face
// name ended.
static void MadeSound(IconMetricsRecord *r)
{
    r->cbSize = sizeof *r;
    r->lfFont.lfFaceName[31] = 0;
}
static void MadeSound(NonclientMetricsRecord *r)
{
    r->cbSize = sizeof *r;
    for (LogFontRecord *font : {&r->lfCaptionFont, &r->lfSmCaptionFont, &r->lfMenuFont, &r->lfStatusFont,
                                &r->lfMessageFont})
        font->lfFaceName[31] = 0;
}

template <typename Record>
static void CheckRoundTrip(const uint8_t *data, size_t size, char *(*format)(const Record *, char *))
{
    Record record;
    memset(&record, 0, sizeof record);
    memcpy(&record, data, size < sizeof record ? size : sizeof record);
    static char text[sizeof(NonclientMetricsRecord) * 4 + 1];
    text[0] = 0;
    format(&record, text);
    Record back;
    memset(&back, 0x5A, sizeof back);
    bool complete = true;
    if constexpr (sizeof(Record) == sizeof(IconMetricsRecord))
        ParseIconMetrics(&back, text, &complete);
    else
        complete = ParseNonclientMetrics(&back, text);
    MadeSound(&record);
    if (!complete || memcmp(&record, &back, sizeof record) != 0) {
        fprintf(stderr, "fuzz_metrics: a %zu-byte record does not come back from its text: %s\n", sizeof record, text);
        abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The value as the profile function leaves it: cut to the buffer, ended
    // by a zero; the buffer ends right there, so a read past the end shows.
    size_t length = size < kValueSize - 1 ? size : kValueSize - 1;
    std::vector<char> text(data, data + length);
    text.push_back(0);
    IconMetricsRecord icon;
    bool complete = true;
    const char *end = ParseIconMetrics(&icon, text.data(), &complete);
    if (end < text.data() || end > text.data() + length) {
        fprintf(stderr, "fuzz_metrics: the parse stopped outside the text\n");
        abort();
    }
    NonclientMetricsRecord nonclient;
    ParseNonclientMetrics(&nonclient, text.data());

    CheckRoundTrip<IconMetricsRecord>(data, size, FormatIconMetrics);
    CheckRoundTrip<NonclientMetricsRecord>(data, size, FormatNonclientMetrics);
    return 0;
}
