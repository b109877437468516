// The rest of the win32 backend's system operations: local time, threads,
// the processor count, large blocks, message boxes, the screen's facts, the
// monitors, the system's version and the end of the process. Small calls that
// convert little or nothing, kept together so that the files beside this one
// each hold one kind of setting.
#include "platform/records.h"
#include "platform/system.h"
#include "platform/win32/win32_text.h"

#include <stdlib.h>

static_assert(sizeof(BitmapFileHeader) == sizeof(BITMAPFILEHEADER), "BITMAPFILEHEADER layout");
static_assert(sizeof(BitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "BITMAPINFOHEADER layout");
static_assert(kMbSystemModal == MB_SYSTEMMODAL && kMbIconWarning == MB_ICONWARNING &&
              kMbYesNoCancel == MB_YESNOCANCEL && kMbIconQuestion == MB_ICONQUESTION, "box styles");
static_assert(kIdYes == IDYES && kIdNo == IDNO && kIdCancel == IDCANCEL, "box answers");
static_assert(kWaitTimeout == WAIT_TIMEOUT, "wait results");

void LocalTimeNow(PlatTime *t)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    t->year = st.wYear;
    t->month = st.wMonth;
    t->day = st.wDay;
    t->weekday = st.wDayOfWeek;
    t->hour = st.wHour;
    t->minute = st.wMinute;
    t->second = st.wSecond;
}

// The routine and its parameter travel to the new thread in one allocation;
// the thread frees it.
struct ThreadStartRec {
    ThreadRoutine routine;
    void *param;
};

static DWORD WINAPI ThreadEntry(LPVOID p)
{
    ThreadStartRec start = *(ThreadStartRec *)p;
    delete (ThreadStartRec *)p;
    return start.routine(start.param);
}

PlatThread ThreadStart(ThreadRoutine routine, void *param)
{
    ThreadStartRec *start = new ThreadStartRec{routine, param};
    DWORD id = 0;
    HANDLE h = CreateThread(nullptr, 0, ThreadEntry, start, 0, &id);
    if (!h)
        delete start;
    return (PlatThread)h;
}

unsigned long ThreadWait(PlatThread thread, unsigned long ms)
{
    return WaitForSingleObject((HANDLE)thread, ms);
}

void ThreadClose(PlatThread thread) { CloseHandle((HANDLE)thread); }
void ThreadYield() { SwitchToThread(); }

unsigned long ProcessIdentifier() { return GetCurrentProcessId(); }

bool SessionMutexCreate(const char *name)
{
    std::u16string wide;
    if (!Widen(name, &wide))
        return false;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, Wide(wide));
    // Made or opened, the handle stays: the name is held while the process runs.
    return mutex && GetLastError() != ERROR_ALREADY_EXISTS;
}

int ProcessorCount()
{
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? (int)info.dwNumberOfProcessors : 1;
}

// Large pages need a privilege that a user's program does not hold.
void *LargeBlockAllocate(size_t bytes) { return malloc(bytes); }

int MessageBoxShow(PlatWindow owner, const char *text, const char *caption, unsigned style)
{
    std::u16string wideText, wideCaption;
    // A text that is not UTF-8 still shows: the box is often the last word.
    if (!Widen(text, &wideText))
        wideText = u"?";
    if (!Widen(caption, &wideCaption))
        wideCaption = u"?";
    return MessageBoxW((HWND)owner, Wide(wideText), Wide(wideCaption), style);
}

void ScreenSize(int *width, int *height)
{
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

bool DisplayModeSize(int *width, int *height)
{
    DEVMODEW mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode))
        return false;
    *width = (int)mode.dmPelsWidth;
    *height = (int)mode.dmPelsHeight;
    return true;
}

int ScreenBitsPerPixel()
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    int depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(desktop, dc);
    return depth;
}

void ScreenPelsPerMeter(int *x, int *y)
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    int horzSize = GetDeviceCaps(dc, HORZSIZE), vertSize = GetDeviceCaps(dc, VERTSIZE);
    *x = horzSize ? GetDeviceCaps(dc, HORZRES) * 1000 / horzSize : 0;
    *y = vertSize ? GetDeviceCaps(dc, VERTRES) * 1000 / vertSize : 0;
    ReleaseDC(desktop, dc);
}

// What EnumDisplayMonitors' callback fills in.
struct MonitorList {
    MonitorRecord *records;
    int capacity, count;
};

static PixelRect FromRect(const RECT &r) { return PixelRect{(int)r.left, (int)r.top, (int)r.right, (int)r.bottom}; }

static BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param)
{
    MonitorList *list = (MonitorList *)param;
    MONITORINFOEXW info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return TRUE;
    if (list->count < list->capacity) {
        MonitorRecord &r = list->records[list->count];
        r.rect = FromRect(info.rcMonitor);
        r.primary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
        DEVMODEW mode = {};
        mode.dmSize = sizeof mode;
        r.modeKnown = EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode) &&
                      (mode.dmFields & DM_POSITION) && mode.dmPelsWidth > 0 && mode.dmPelsHeight > 0;
        if (r.modeKnown) {
            r.mode.left = (int)mode.dmPosition.x;
            r.mode.top = (int)mode.dmPosition.y;
            r.mode.right = r.mode.left + (int)mode.dmPelsWidth;
            r.mode.bottom = r.mode.top + (int)mode.dmPelsHeight;
        } else {
            r.mode = r.rect;
        }
    }
    list->count++;
    return TRUE;
}

int DisplayMonitors(MonitorRecord *monitors, int capacity)
{
    MonitorList list = {monitors, capacity, 0};
    if (!EnumDisplayMonitors(nullptr, nullptr, AddMonitor, (LPARAM)&list))
        return 0;
    return list.count;
}

bool WindowsVersionAtLeast(int major, int minor)
{
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    version.dwMajorVersion = (DWORD)major;
    version.dwMinorVersion = (DWORD)minor;
    DWORDLONG condition = 0;
    condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
    condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION, condition) != FALSE;
}

void ProcessExit(int code) { exit(code); }
