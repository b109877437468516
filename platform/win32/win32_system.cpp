// The rest of the win32 backend's system operations: local time, threads,
// the processor count, large blocks, message boxes, the screen's facts and
// the end of the process. Small calls that convert little or nothing, kept
// together so that the files beside this one each hold one kind of setting.
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

void ProcessExit(int code) { exit(code); }
