// A schedule's file: any text is taken whole, with every value in its range,
// or refused; a schedule taken is written back to the same text again.
#include "schedule/schedule.h"

#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

static void Fail(const char *what, const std::string &text)
{
    fprintf(stderr, "fuzz_schedule: %s: %s\n", what, text.c_str());
    abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    std::string text((const char *)data, size);
    Schedule s;
    if (!ParseSchedule(text, &s))
        return 0;
    bool times = s.mode == kScheduleAtTimes;
    if (!ScheduleWordOfTheme(s.dayTheme)[0] || !ScheduleWordOfTheme(s.nightTheme)[0] ||
        (times && (s.dayMinute < 0 || s.dayMinute > 1439 || s.nightMinute < 0 || s.nightMinute > 1439 ||
                   s.dayMinute == s.nightMinute)) ||
        (!times && !(fabs(s.latitude) <= 90 && fabs(s.longitude) <= 180)) || FormatPartList(s.parts).empty() ||
        s.appliedFrom < 0)
        Fail("a value out of its range was taken", text);
    std::string written = FormatSchedule(s);
    Schedule back;
    if (!ParseSchedule(written, &back) || FormatSchedule(back) != written)
        Fail("a schedule taken does not come back from its text", written);
    return 0;
}
