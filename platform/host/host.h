// The simulated Windows behind the host backend, as tests see it.
//
// A folder of the Linux file system stands for drive C:. Paths are Windows
// paths with backslashes, and file names ignore case. The registry is a tree in
// memory; profile strings are real INI files with the profile functions' rules;
// the live system (colours, metrics, wallpaper, screen saver, reloads,
// broadcasts, shell notifications, message boxes) is recorded for tests to
// read. Every call that changes the system also appends a line to the event
// log, so tests can check what was done and in which order.
//
// Set up from the environment when a process starts: QUENNEL_HOST_ROOT (the
// folder for C:\, else a new temporary folder; "/" makes paths the host's own,
// for command-line tools) and QUENNEL_HOST_MODULE (the program's Windows path).
#pragma once

#include "platform/window.h"
#include "platform/records.h"

#include <string>
#include <vector>

// A fresh machine whose drive C: is driveRoot (created when missing, its
// content kept): the registry keys, colours and metrics of a freshly made Wine
// prefix, C:\windows, the user "Łukasz 田中", an unscaled 800 x 600 16-bit
// screen, no windows, boxes or events.
void HostReset(const char *driveRoot);
// The Linux path that a Windows path resolves to (existing components matched
// without regard to case).
std::string HostPath(const char *windowsPath);

void HostSetModulePath(const char *windowsPath);
// The user's name, which names the profile folder (C:\users\NAME) and so
// the local application-data folder. A fresh machine's user is "Łukasz 田中".
void HostSetUser(const char *name);
// The screen's real size in pixels (its display mode) and depth: one monitor
// of that size, the primary.
void HostSetScreen(int width, int height, int depth);
// Several monitors, in the order the system lists them, each its real
// rectangle (its display mode) in the virtual screen's coordinates; the
// primary's top-left corner is 0, 0, as on Windows. The screen's size is then
// the primary's; its depth stays.
struct HostMonitor {
    int left, top, width, height;
    bool primary;
};
void HostSetMonitors(const std::vector<HostMonitor> &monitors);
// A contrast theme on or off, as HighContrastOn tells it (off at reset).
void HostSetHighContrast(bool on);
// The system's version for WindowsVersionAtLeast (10.0 at reset).
void HostSetWindowsVersion(int major, int minor);
// Display scaling in percent (100 at reset, as Windows offers it: 100, 125,
// 150, 200, ...): ScreenSize then tells the scaled-down size that a program
// without DPI awareness sees, DisplayModeSize the real one. With
// displayModeKnown false, DisplayModeSize fails. The monitors' rectangles
// are scaled down alike, their modes not (and not known either with
// displayModeKnown false).
void HostSetScreenScale(int percent, bool displayModeKnown = true);
// A fixed local time for LocalTimeNow; null goes back to the real clock.
void HostSetTime(const PlatTime *t);
// The system's time zone as a POSIX rule ("CET-1CEST,M3.5.0,M10.5.0/3"), for
// LocalTimeNow's real clock and the conversions; reset to "UTC0".
void HostSetTimeZone(const char *posixRule);
// The Task Scheduler's store: each task's path, XML and the security
// identifier of the user who registered it.
struct HostTask {
    std::string path;
    std::string xml;
    std::string user;
};
std::vector<HostTask> HostTasks();
// False: every Task Scheduler call fails as when its service cannot be reached.
void HostSetTaskSchedulerReachable(bool reachable);
// Bytes that may still be written to the drive before writes come up short;
// negative: no limit. A profile write takes what its file grows by; one that
// does not fit leaves the file cut where the disk filled up, as a rewrite of
// the whole file does, and reports failure.
void HostSetDiskSpace(long long bytes);
// The next ThreadStart fails, as CreateThread does when resources run out.
void HostFailNextThread();
// Calls call once, from the next ThreadWait without a bound, as that wait
// begins: a test opens there the gate of a thread that must be waited for.
void HostOnUnboundedWait(void (*call)());
// Fault injection: counting from now, the nth fallible call fails the way the
// real function fails (n = 1 is the next one; 0 switches it off). Fallible are
// the registry calls (an error code, nothing done; a failed close still ends
// the handle), profile writes (false, the file as it was), the file calls
// (FileOpen null, FileRead and FileWrite short, FileClose EOF after closing,
// FileDelete and FileMove false, nothing done) and ThreadStart (null). The
// failed call is logged as an event "fault ..." and on standard error as
// "[fault] ...".
void HostFailCall(long n);
// Fallible calls made since the last HostFailCall or HostReset.
long HostFallibleCalls();
// The call that the injection made fail, or "" while none has.
std::string HostInjectedFault();
// Answers for the next message boxes, in order; after them each box returns
// its first button (OK or Yes).
void HostAnswerBoxes(const std::vector<int> &answers);

// A simulated window: a child of parent (or a top-level window with none)
// with a control identifier and a text. Lives until HostReset.
PlatWindow HostMakeWindow(PlatWindow parent, int id, const char *text);
std::string HostWindowText(PlatWindow window);
// A window procedure for a simulated window: SendMessage calls it at once,
// DestroyWindow sends it WM_DESTROY, and HostDispatchPosted delivers what was
// posted to it.
typedef intptr_t (*HostWindowProc)(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam);
void HostSetWindowProc(PlatWindow window, HostWindowProc proc);
// Delivers the posted messages, oldest first, as a message loop would;
// returns how many.
int HostDispatchPosted();
struct HostWindowState {
    bool enabled, destroyed;
    int check;        // CheckDlgButton's last state
    uintptr_t state;  // the last IBM_SETSTATE (WM_USER + 1) sent to it
    int left, top, width, height;  // the last WindowMove
    PlatFont font;                 // the last WindowSetFont, or none
};
// The dpi that WindowDpi tells for every window (96 at reset).
void HostSetDpi(int dpi);
// A font's em height in pixels and face; 0 and "" for a font deleted or none.
// The simulated text measure: a character is 11/20 of the em height wide
// (rounded), a line 5/4 of it high (rounded up), as a sans-serif face is about.
int HostFontPixels(PlatFont font);
std::string HostFontFace(PlatFont font);
// The fonts made and not yet deleted.
int HostLiveFonts();
HostWindowState HostWindowInfo(PlatWindow window);
// Messages posted or sent to simulated windows, oldest first.
struct HostMessage {
    PlatWindow window;
    unsigned message;
    uintptr_t wParam;
    intptr_t lParam;
    bool posted;
};
std::vector<HostMessage> HostMessages();

struct HostBox {
    PlatWindow owner;
    std::string text, caption;
    unsigned style;
};

// What the running system shows now.
struct HostLive {
    uint32_t sysColors[31];
    IconMetricsRecord iconMetrics;
    NonclientMetricsRecord nonclientMetrics;
    std::string wallpaper;
    bool screenSaveActive;
    bool highContrast;                    // a contrast theme is on (false at reset)
    int cursorReloads, iconReloads;
    std::vector<std::string> broadcasts;  // "action text"
    std::vector<long> shellNotifications;
    std::vector<HostBox> boxes;
    PlatWindow capture;                   // the window with the mouse capture, or none
    SystemCursor cursor;
    std::vector<unsigned> timers;         // identifiers of running timers
    PlatWindow focus;                     // the window with the keyboard focus
    int quitCode;                         // PostQuitMessage's code, -1 before it
};
HostLive HostLiveState();

std::vector<std::string> HostEvents();
void HostClearEvents();
