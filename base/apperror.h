// The error report: the program's last word on a failure it cannot go on from.
#pragma once

#include "platform/system.h"

#include <stddef.h>

#include <atomic>

// The support telephone number, in the assertion box and the wallpaper maker's
// disk-full message.
extern const char kSupportPhone[];

// 0 while a person may read the report: it shows its box and ends the process
// with 255. Otherwise no one waits on the program (a theme applied from the
// command line): the report goes to the log alone and the process ends with
// this code. Start-up sets it before any thread starts.
extern int UnattendedExitCode;
// Set by such a run once it may have changed a setting: a failed check calls
// it once, on the thread that failed, after its record and before the process
// ends, to put the settings from before the run back; it is null again from
// then on. Null: nothing to put back.
extern std::atomic<void (*)()> UnattendedRestore;

// Appends a record to the log, UserDataDir\assertFile.txt: the local time
// line, then the text, each line ending in CR LF whatever line ends the text
// brings, the record in exactly one. What a run without a person would have
// shown in a box.
void AppLogReport(const char *text);

// When condition is 0: appends a record to UserDataDir\assertFile.txt (the time
// line, the place line "File-> source, Line-> site" when source is not null
// and site not 0, the message cut to 2,000 characters), shows the message and
// the support line in a system-modal "Assertion Error" box and ends the
// process with code 255 (or, with UnattendedExitCode set, ends it with that
// code and shows nothing, once UnattendedRestore has run). When condition is non-zero, returns at once and
// touches nothing. source names the part of the program ("wallpaper",
// "PALETTE"); site is one of the fixed sites below, or __LINE__.
void AppAssert(int condition, const char *source, int site, const char *format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 4, 5)))
#endif
    ;

// The fixed sites. Support knows these failures by the source and number that
// a user reads out from the box or the log, so they keep their numbers
// whatever becomes of the code around them; any other report gives its
// source line.
constexpr int kSiteMainWindow = 112;     // "winmain": the main window was not made
constexpr int kSiteBadTheme = 105;       // "installtheme": not a theme identifier
constexpr int kSiteOpenBitmap = 118;     // "wallpaper": the wallpaper bitmap cannot be written
constexpr int kSiteOpenArt = 106;        // "D42SAVE": an art file cannot be opened
constexpr int kSiteArtPieces = 224;      // "D42SAVE": an art header's piece count
constexpr int kSiteOpenPalette = 81;     // "PALETTE": the palette file cannot be opened or read
constexpr int kSiteDiffuseMemory = 1498; // "PALETTE": no memory for the error diffusion

// The 24-character local date and time line with its line end, as
// "Wed Jan  2 02:03:55 1980\n"; out holds at least 26 characters.
void FormatAssertTime(const PlatTime &t, char *out, size_t size);
