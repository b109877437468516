// The platform operations as straight calls to the Win32 functions.
#include "platform/window.h"
#include "platform/records.h"

#include <windows.h>
#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>

static_assert(sizeof(LogFontRecord) == sizeof(LOGFONTA), "LOGFONTA layout");
static_assert(sizeof(IconMetricsRecord) == sizeof(ICONMETRICSA), "ICONMETRICSA layout");
static_assert(sizeof(BitmapFileHeader) == sizeof(BITMAPFILEHEADER), "BITMAPFILEHEADER layout");
static_assert(sizeof(BitmapInfoHeader) == sizeof(BITMAPINFOHEADER), "BITMAPINFOHEADER layout");
static_assert(kMbSystemModal == MB_SYSTEMMODAL && kMbIconWarning == MB_ICONWARNING &&
              kMbYesNoCancel == MB_YESNOCANCEL && kMbIconQuestion == MB_ICONQUESTION, "box styles");
static_assert(kIdYes == IDYES && kIdNo == IDNO && kIdCancel == IDCANCEL, "box answers");
static_assert(kSpiSetNonclientMetrics == SPI_SETNONCLIENTMETRICS && kSpiSetIcons == SPI_SETICONS &&
              kSpiSetCursors == SPI_SETCURSORS && kSpiSetDeskWallpaper == SPI_SETDESKWALLPAPER,
              "SystemParametersInfo actions");
static_assert(kShcneAssocChanged == SHCNE_ASSOCCHANGED && kShcneUpdateImage == SHCNE_UPDATEIMAGE,
              "shell events");
static_assert(kErrorMoreData == ERROR_MORE_DATA && kWaitTimeout == WAIT_TIMEOUT, "codes");
static_assert(kWmCommand == WM_COMMAND && kWmTimer == WM_TIMER && kWmClose == WM_CLOSE &&
              kWmDestroy == WM_DESTROY && kWmUser == WM_USER, "messages");

static HKEY RootKey(RegRoot root)
{
    switch (root) {
    case kRegClassesRoot: return HKEY_CLASSES_ROOT;
    case kRegLocalMachine: return HKEY_LOCAL_MACHINE;
    default: return HKEY_CURRENT_USER;
    }
}

long RegistryOpen(RegRoot root, const char *path, unsigned access, PlatKey *key)
{
    HKEY h = nullptr;
    long rc = RegOpenKeyExA(RootKey(root), path, 0, access, &h);
    *key = rc == ERROR_SUCCESS ? (PlatKey)h : nullptr;
    return rc;
}

long RegistryCreate(RegRoot root, const char *path, unsigned access, PlatKey *key)
{
    HKEY h = nullptr;
    DWORD disposition = 0;
    long rc = RegCreateKeyExA(RootKey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                              nullptr, &h, &disposition);
    *key = rc == ERROR_SUCCESS ? (PlatKey)h : nullptr;
    return rc;
}

long RegistrySetValue(PlatKey key, const char *name, unsigned type, const void *data, uint32_t size)
{
    return RegSetValueExA((HKEY)key, name, 0, type, (const BYTE *)data, size);
}

long RegistrySetText(PlatKey key, const char *name, const char *text)
{
    return RegSetValueExA((HKEY)key, name, 0, REG_SZ, (const BYTE *)text, lstrlenA(text) + 1);
}

long RegistryQuery(PlatKey key, const char *name, void *data, uint32_t *size)
{
    DWORD n = *size;
    long rc = RegQueryValueExA((HKEY)key, name, nullptr, nullptr, (BYTE *)data, &n);
    *size = n;
    return rc;
}

long RegistryFlush(PlatKey key) { return RegFlushKey((HKEY)key); }
long RegistryClose(PlatKey key) { return RegCloseKey((HKEY)key); }
long RegistryDeleteTree(RegRoot root, const char *path)
{
    long rc = RegDeleteTreeA(RootKey(root), path);
    RegDeleteKeyA(RootKey(root), path);  // in case the tree call left the emptied key
    return rc;
}

unsigned ProfileGetString(const char *section, const char *key, const char *defaultText,
                          char *buf, unsigned size, const char *file)
{
    return GetPrivateProfileStringA(section, key, defaultText, buf, size, file);
}

// Wine's profile writer rewrites the whole file and answers success even when
// the disk filled up during the rewrite; the error the write left behind
// tells.
bool ProfileWriteString(const char *section, const char *key, const char *value, const char *file)
{
    SetLastError(ERROR_SUCCESS);
    bool ok = WritePrivateProfileStringA(section, key, value, file) != 0;
    DWORD error = GetLastError();
    return ok && error != ERROR_DISK_FULL && error != ERROR_HANDLE_DISK_FULL;
}

bool SystemParameters(unsigned action, unsigned param, void *pointer, unsigned flags)
{
    return SystemParametersInfoA(action, param, pointer, flags) != 0;
}

bool SysColorsSet(int count, const int *elements, const uint32_t *colors)
{
    return SetSysColors(count, elements, (const COLORREF *)colors) != 0;
}

uint32_t SysColorGet(int element) { return GetSysColor(element); }

void BroadcastIniChange(unsigned action, const char *text)
{
    SendMessageA(HWND_BROADCAST, WM_WININICHANGE, action, (LPARAM)text);
}

void ShellNotify(long event) { SHChangeNotify(event, SHCNF_IDLIST, nullptr, nullptr); }

unsigned WindowsFolder(char *buf, unsigned size) { return GetWindowsDirectoryA(buf, size); }
unsigned ModuleFileName(char *buf, unsigned size) { return GetModuleFileNameA(nullptr, buf, size); }
unsigned ShortPathName(const char *longPath, char *shortPath, unsigned size)
{
    return GetShortPathNameA(longPath, shortPath, size);
}

// On Windows a PlatFile is the runtime's own stream.
PlatFile *FileOpen(const char *path, const char *mode) { return (PlatFile *)fopen(path, mode); }
size_t FileRead(void *buf, size_t size, PlatFile *f) { return fread(buf, 1, size, (FILE *)f); }
size_t FileWrite(const void *data, size_t size, PlatFile *f) { return fwrite(data, 1, size, (FILE *)f); }
char *FileGets(char *buf, int size, PlatFile *f) { return fgets(buf, size, (FILE *)f); }
bool FileEof(PlatFile *f) { return feof((FILE *)f) != 0; }
long FileLength(PlatFile *f)
{
    FILE *s = (FILE *)f;
    long at = ftell(s);
    if (at < 0 || fseek(s, 0, SEEK_END) != 0)
        return -1;
    long length = ftell(s);
    fseek(s, at, SEEK_SET);
    return length;
}
int FileClose(PlatFile *f) { return fclose((FILE *)f); }
bool FileDelete(const char *path) { return DeleteFileA(path) != 0; }
bool FileMove(const char *from, const char *to) { return MoveFileA(from, to) != 0; }

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
    return MessageBoxA((HWND)owner, text, caption, style);
}

PlatWindow WindowItem(PlatWindow parent, int id) { return (PlatWindow)GetDlgItem((HWND)parent, id); }
void WindowSetText(PlatWindow window, const char *text) { SetWindowTextA((HWND)window, text); }
unsigned WindowGetText(PlatWindow window, char *buf, unsigned size)
{
    if (size == 0)
        return 0;
    buf[0] = 0;
    return GetWindowTextA((HWND)window, buf, size);
}
void WindowUpdate(PlatWindow window) { UpdateWindow((HWND)window); }
void MouseCapture(PlatWindow window) { SetCapture((HWND)window); }
void MouseRelease() { ReleaseCapture(); }
void CursorShow(SystemCursor cursor) { SetCursor(LoadCursorA(nullptr, cursor == kCursorWait ? IDC_WAIT : IDC_ARROW)); }
void TimerStart(PlatWindow window, unsigned id, unsigned ms) { SetTimer((HWND)window, id, ms, nullptr); }
void TimerStop(PlatWindow window, unsigned id) { KillTimer((HWND)window, id); }
void WindowEnable(PlatWindow window, bool enable) { EnableWindow((HWND)window, enable); }
bool WindowIsEnabled(PlatWindow window) { return IsWindowEnabled((HWND)window) == TRUE; }
void ButtonSetCheck(PlatWindow parent, int id, int state) { CheckDlgButton((HWND)parent, id, state); }
void WindowFocus(PlatWindow window) { SetFocus((HWND)window); }
int WindowId(PlatWindow window) { return GetDlgCtrlID((HWND)window); }
void WindowDestroy(PlatWindow window) { DestroyWindow((HWND)window); }
void MessageLoopQuit(int code) { PostQuitMessage(code); }

bool MessagePost(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return PostMessageA((HWND)window, message, wParam, lParam) != 0;
}
intptr_t MessageSend(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    return SendMessageA((HWND)window, message, wParam, lParam);
}

void ScreenSize(int *width, int *height)
{
    *width = GetSystemMetrics(SM_CXSCREEN);
    *height = GetSystemMetrics(SM_CYSCREEN);
}

bool DisplayModeSize(int *width, int *height)
{
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode))
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
