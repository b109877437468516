#include "base/apperror.h"

#include "base/processvalues.h"
#include "base/bounded.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

const char kSupportPhone[] = "(555) 010-4477";
int UnattendedExitCode;
std::atomic<void (*)()> UnattendedRestore;

constexpr int kMessageLimit = 2000;  // characters of formatted message kept
static const char kSupportLine[] = "\nPlease call KTB Customer Support ";

// The report's text: location line, message, support line. Static, not on the
// stack: the report may run on a thread with little stack left, and only the
// first failed check ever uses it.
static char AssertText[kPathSize + 40 + kMessageLimit + sizeof kSupportLine + 32];

void FormatAssertTime(const PlatTime &t, char *out, size_t size)
{
    static const char *const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int weekday = t.weekday >= 0 && t.weekday < 7 ? t.weekday : 0;
    int month = t.month >= 1 && t.month <= 12 ? t.month - 1 : 0;
    snprintf(out, size, "%s %s %2d %02d:%02d:%02d %04d\n", days[weekday], months[month], t.day % 100,
             t.hour % 100, t.minute % 100, t.second % 100, t.year % 10000);
}

// The log is a Windows text file: each line of a record ends in CR LF,
// whichever line ends its text brings (LF, or CR LF already), and the record
// ends in exactly one. Written in pieces, never through a copy: the report of
// an exhausted memory writes here too.
static void WriteLogLines(const char *text, PlatFile *log)
{
    size_t length = strlen(text);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r'))
        length--;
    size_t start = 0;
    for (size_t i = 0; i < length; i++) {
        if (text[i] != '\n')
            continue;
        size_t end = i > start && text[i - 1] == '\r' ? i - 1 : i;
        FileWrite(text + start, end - start, log);
        FileWrite("\r\n", 2, log);
        start = i + 1;
    }
    FileWrite(text + start, length - start, log);
    FileWrite("\r\n", 2, log);
}

void AppLogReport(const char *text)
{
    // The log is this user's, beside the backup; before the user's folder is
    // known (a failure at start-up) there is no log.
    char logPath[kPathSize];
    PlatFile *log = UserDataDir[0] && JoinPath(logPath, sizeof logPath, UserDataDir, "\\assertFile.txt")
                        ? FileOpen(logPath, "ab")
                        : nullptr;
    if (!log)
        return;
    PlatTime now;
    LocalTimeNow(&now);
    char timeLine[32];
    FormatAssertTime(now, timeLine, sizeof timeLine);
    WriteLogLines(timeLine, log);
    WriteLogLines(text, log);
    FileClose(log);
}

void AppAssert(int condition, const char *source, int site, const char *format, ...)
{
    if (condition)
        return;

    size_t used = 0;
    if (source && site) {
        // The place line keeps its line end even when a long source is cut.
        snprintf(AssertText, kPathSize + 40, "File-> %.260s, Line-> %d\n", source, site);
        used = strlen(AssertText);
    }
    char message[kMessageLimit + 1];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof message, format, args);
    va_end(args);
    memcpy(AssertText + used, message, strlen(message) + 1);
    AppLogReport(AssertText);
    if (UnattendedExitCode) {
        // Once: a check that fails during the restore itself, or on another
        // thread meanwhile, ends the process.
        if (void (*restore)() = UnattendedRestore.exchange(nullptr))
            restore();
        ProcessExit(UnattendedExitCode);
    }

    // The buffer is sized for the longest location, message and support line.
    (void)AppendText(AssertText, sizeof AssertText, kSupportLine);
    (void)AppendText(AssertText, sizeof AssertText, kSupportPhone);
    MessageBoxShow(nullptr, AssertText, "Assertion Error", kMbSystemModal);
    ProcessExit(255);
}
