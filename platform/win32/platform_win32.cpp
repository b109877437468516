// The platform operations as calls to the Win32 functions: the wide ("W")
// forms, the texts converted from UTF-8 and back at this boundary.
#include "platform/window.h"
#include "platform/records.h"
#include "platform/unicode.h"

#include <windows.h>
#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

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
static_assert(kErrorMoreData == ERROR_MORE_DATA && kWaitTimeout == WAIT_TIMEOUT &&
              kErrorUnsupportedType == ERROR_UNSUPPORTED_TYPE && kErrorInvalidParameter == ERROR_INVALID_PARAMETER,
              "codes");
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ, "value types");
static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units");
static_assert(kWmCommand == WM_COMMAND && kWmTimer == WM_TIMER && kWmClose == WM_CLOSE &&
              kWmDestroy == WM_DESTROY && kWmUser == WM_USER, "messages");

// ------------------------------------------------------------ conversions

// A UTF-8 text as a call's wide text; false when it is not UTF-8.
static bool Widen(const char *text, std::u16string *out) { return text && Utf8ToUtf16(text, out); }
static const wchar_t *Wide(const std::u16string &text) { return (const wchar_t *)text.c_str(); }

// A wide text of the system as UTF-8 in buf (size bytes). Returns the
// length; when it does not fit, or is not UTF-16, buf gets "" and the result
// is the size needed (the length plus one), or 0 for a text that cannot be
// converted.
static unsigned Narrow(const wchar_t *text, size_t units, char *buf, unsigned size)
{
    std::string utf8;
    if (size > 0)
        buf[0] = 0;
    if (!Utf16ToUtf8((const char16_t *)text, units, &utf8))
        return 0;
    if (utf8.size() + 1 > size)
        return (unsigned)utf8.size() + 1;
    memcpy(buf, utf8.c_str(), utf8.size() + 1);
    return (unsigned)utf8.size();
}

// A registry value's name: null stays null (the default value).
struct ValueName {
    std::u16string text;
    bool ok;
    const wchar_t *get() const { return ok ? Wide(text) : nullptr; }
    explicit ValueName(const char *name) : ok(name != nullptr) { ok = ok && Widen(name, &text); }
};

// ---------------------------------------------------------------- registry

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
    *key = nullptr;
    std::u16string wide;
    if (!Widen(path, &wide))
        return ERROR_INVALID_PARAMETER;
    HKEY h = nullptr;
    long rc = RegOpenKeyExW(RootKey(root), Wide(wide), 0, access, &h);
    *key = rc == ERROR_SUCCESS ? (PlatKey)h : nullptr;
    return rc;
}

long RegistryCreate(RegRoot root, const char *path, unsigned access, PlatKey *key)
{
    *key = nullptr;
    std::u16string wide;
    if (!Widen(path, &wide))
        return ERROR_INVALID_PARAMETER;
    HKEY h = nullptr;
    DWORD disposition = 0;
    long rc = RegCreateKeyExW(RootKey(root), Wide(wide), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &h,
                              &disposition);
    *key = rc == ERROR_SUCCESS ? (PlatKey)h : nullptr;
    return rc;
}

long RegistrySetValue(PlatKey key, const char *name, unsigned type, const void *data, uint32_t size)
{
    ValueName wideName(name);
    if (name && !wideName.ok)
        return ERROR_INVALID_PARAMETER;
    return RegSetValueExW((HKEY)key, wideName.get(), 0, type, (const BYTE *)data, size);
}

long RegistrySetText(PlatKey key, const char *name, const char *text, unsigned type)
{
    std::u16string wide;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || !Widen(text, &wide))
        return ERROR_INVALID_PARAMETER;
    return RegistrySetValue(key, name, type, wide.c_str(), (uint32_t)(wide.size() + 1) * 2);
}

long RegistryQuery(PlatKey key, const char *name, void *data, uint32_t *size)
{
    ValueName wideName(name);
    if (name && !wideName.ok)
        return ERROR_INVALID_PARAMETER;
    DWORD n = *size;
    long rc = RegQueryValueExW((HKEY)key, wideName.get(), nullptr, nullptr, (BYTE *)data, &n);
    *size = n;
    return rc;
}

long RegistryQueryText(PlatKey key, const char *name, char *text, uint32_t *size, unsigned *type)
{
    ValueName wideName(name);
    if (*size > 0)
        text[0] = 0;
    if (name && !wideName.ok)
        return ERROR_INVALID_PARAMETER;
    // The stored size first, then the bytes: a value can change between the
    // two, so the read repeats while it grows.
    std::vector<wchar_t> stored;
    DWORD valueType = 0, bytes = 0;
    long rc;
    do {
        rc = RegQueryValueExW((HKEY)key, wideName.get(), nullptr, &valueType, nullptr, &bytes);
        if (rc != ERROR_SUCCESS)
            return rc;
        stored.assign(bytes / 2 + 1, 0);
        rc = RegQueryValueExW((HKEY)key, wideName.get(), nullptr, &valueType, (BYTE *)stored.data(), &bytes);
    } while (rc == ERROR_MORE_DATA);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (valueType != REG_SZ && valueType != REG_EXPAND_SZ)
        return ERROR_UNSUPPORTED_TYPE;
    if (type)
        *type = valueType;
    size_t units = wcsnlen(stored.data(), bytes / 2);
    unsigned length = Narrow(stored.data(), units, text, *size);
    if (length == 0 && units > 0)
        return ERROR_INVALID_DATA;
    if (length >= *size) {
        *size = length;
        return ERROR_MORE_DATA;
    }
    *size = length + 1;
    return ERROR_SUCCESS;
}

long RegistryDeleteValue(PlatKey key, const char *name)
{
    ValueName wideName(name);
    if (name && !wideName.ok)
        return ERROR_INVALID_PARAMETER;
    return RegDeleteValueW((HKEY)key, wideName.get());
}

long RegistryFlush(PlatKey key) { return RegFlushKey((HKEY)key); }
long RegistryClose(PlatKey key) { return RegCloseKey((HKEY)key); }
long RegistryDeleteTree(RegRoot root, const char *path)
{
    std::u16string wide;
    if (!Widen(path, &wide))
        return ERROR_INVALID_PARAMETER;
    long rc = RegDeleteTreeW(RootKey(root), Wide(wide));
    RegDeleteKeyW(RootKey(root), Wide(wide));  // in case the tree call left the emptied key
    return rc;
}

// ---------------------------------------------------------- profile strings

unsigned ProfileGetString(const char *section, const char *key, const char *defaultText,
                          char *buf, unsigned size, const char *file)
{
    if (size > 0)
        buf[0] = 0;
    std::u16string wideSection, wideKey, wideDefault, wideFile;
    if (!Widen(section, &wideSection) || !Widen(key, &wideKey) || !Widen(defaultText ? defaultText : "", &wideDefault) ||
        !Widen(file, &wideFile))
        return 0;
    // The function cuts a value to the buffer and then gives its size less
    // one: the buffer grows until the value is seen whole.
    std::vector<wchar_t> value(256);
    DWORD length;
    for (;;) {
        length = GetPrivateProfileStringW(Wide(wideSection), Wide(wideKey), Wide(wideDefault), value.data(),
                                          (DWORD)value.size(), Wide(wideFile));
        if (length + 1 < value.size() || value.size() >= (1u << 24))
            break;
        value.resize(value.size() * 4);
    }
    unsigned n = Narrow(value.data(), length, buf, size);
    return n >= size ? n - 1 : n;  // a text that does not fit: its length, size or more
}

// Wine's profile writer rewrites the whole file and answers success even when
// the disk filled up during the rewrite; the error the write left behind
// tells.
bool ProfileWriteString(const char *section, const char *key, const char *value, const char *file)
{
    std::u16string wideSection, wideKey, wideValue, wideFile;
    if (!Widen(section, &wideSection) || !Widen(key, &wideKey) || (value && !Widen(value, &wideValue)) ||
        !Widen(file, &wideFile))
        return false;
    SetLastError(ERROR_SUCCESS);
    bool ok = WritePrivateProfileStringW(Wide(wideSection), Wide(wideKey), value ? Wide(wideValue) : nullptr,
                                         Wide(wideFile)) != 0;
    DWORD error = GetLastError();
    return ok && error != ERROR_DISK_FULL && error != ERROR_HANDLE_DISK_FULL;
}

// ------------------------------------------------------------ live settings

bool SystemParameters(unsigned action, unsigned param, void *pointer, unsigned flags)
{
    flags &= SPIF_UPDATEINIFILE;
    if (action == SPI_SETDESKWALLPAPER) {
        std::u16string path;
        if (!Widen(pointer ? (const char *)pointer : "", &path))
            return false;
        return SystemParametersInfoW(action, param, (void *)Wide(path), flags) != 0;
    }
    return SystemParametersInfoA(action, param, pointer, flags) != 0;
}

// SetSysColors repaints every window before it returns, and under Wine it
// waits for a window of another program to paint itself: one that hangs would
// hold the install for ever. The call runs on a thread of its own, which the
// caller waits for a few seconds at most, meanwhile answering what the
// repaint sends to this thread's own windows; the colours themselves are set
// before the repaint begins. The record is freed by whichever of the two
// threads ends last.
struct SysColorsCall {
    LONG owners;
    int count;
    int elements[64];
    COLORREF colors[64];
    BOOL result;
};

static void ReleaseSysColorsCall(SysColorsCall *call)
{
    if (InterlockedDecrement(&call->owners) == 0)
        delete call;
}

static DWORD WINAPI SysColorsThread(LPVOID p)
{
    SysColorsCall *call = (SysColorsCall *)p;
    call->result = SetSysColors(call->count, call->elements, call->colors);
    ReleaseSysColorsCall(call);
    return 0;
}

bool SysColorsSet(int count, const int *elements, const uint32_t *colors)
{
    constexpr DWORD kRepaintPatience = 5000;  // ms; a healthy desktop repaints in a fraction of it
    if (count < 0 || count > 64)
        return false;
    SysColorsCall *call = new SysColorsCall{2, count, {}, {}, FALSE};
    memcpy(call->elements, elements, sizeof(int) * count);
    memcpy(call->colors, colors, sizeof(COLORREF) * count);
    HANDLE thread = CreateThread(nullptr, 0, SysColorsThread, call, 0, nullptr);
    if (!thread) {
        call->owners = 1;
        SysColorsThread(call);
        return true;
    }
    bool ended = false;
    for (DWORD start = GetTickCount();;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= kRepaintPatience)
            break;
        DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, kRepaintPatience - spent, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (woke != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // answers what was sent
    }
    bool ok = !ended || call->result;  // still repainting: the colours are set
    CloseHandle(thread);
    ReleaseSysColorsCall(call);
    return ok;
}

uint32_t SysColorGet(int element) { return GetSysColor(element); }

void BroadcastIniChange(unsigned action, const char *text)
{
    constexpr UINT kWindowPatience = 1000;  // ms a window
    std::u16string wide;
    if (text && !Widen(text, &wide))
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, action, text ? (LPARAM)Wide(wide) : 0, SMTO_ABORTIFHUNG,
                        kWindowPatience, &result);
}

void ShellNotify(long event) { SHChangeNotify(event, SHCNF_IDLIST, nullptr, nullptr); }

// ------------------------------------------------------------ folders, files

unsigned WindowsFolder(char *buf, unsigned size)
{
    wchar_t folder[MAX_PATH];
    UINT units = GetWindowsDirectoryW(folder, MAX_PATH);
    if (units == 0 || units >= MAX_PATH) {
        if (size > 0)
            buf[0] = 0;
        return 0;
    }
    return Narrow(folder, units, buf, size);
}

unsigned ModuleFileName(char *buf, unsigned size)
{
    std::vector<wchar_t> path(32768);
    DWORD units = GetModuleFileNameW(nullptr, path.data(), (DWORD)path.size());
    unsigned n = units > 0 && units < path.size() ? Narrow(path.data(), units, buf, size) : 0;
    if (n >= size) {
        buf[0] = 0;
        return 0;
    }
    return n;
}

unsigned LocalAppDataFolder(char *buf, unsigned size)
{
    wchar_t folder[MAX_PATH];
    unsigned n = 0;
    if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK)
        n = Narrow(folder, wcslen(folder), buf, size);
    if (n >= size) {
        buf[0] = 0;
        return 0;
    }
    return n;
}

bool FolderCreate(const char *path)
{
    std::u16string wide;
    if (!Widen(path, &wide))
        return false;
    if (CreateDirectoryW(Wide(wide), nullptr))
        return true;
    DWORD attributes = GetFileAttributesW(Wide(wide));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

unsigned ShortPathName(const char *longPath, char *shortPath, unsigned size)
{
    std::u16string wide;
    if (!Widen(longPath, &wide))
        return 0;
    std::vector<wchar_t> out(MAX_PATH);
    DWORD units = GetShortPathNameW(Wide(wide), out.data(), (DWORD)out.size());
    if (units >= out.size()) {
        out.resize(units + 1);
        units = GetShortPathNameW(Wide(wide), out.data(), (DWORD)out.size());
    }
    if (units == 0 || units >= out.size())
        return 0;
    std::string utf8;
    if (!Utf16ToUtf8((const char16_t *)out.data(), units, &utf8))
        return 0;
    if (utf8.size() + 1 > size)
        return (unsigned)utf8.size() + 1;
    memcpy(shortPath, utf8.c_str(), utf8.size() + 1);
    return (unsigned)utf8.size();
}

// On Windows a PlatFile is the runtime's own stream.
PlatFile *FileOpen(const char *path, const char *mode)
{
    std::u16string widePath, wideMode;
    if (!Widen(path, &widePath) || !Widen(mode, &wideMode))
        return nullptr;
    return (PlatFile *)_wfopen(Wide(widePath), Wide(wideMode));
}
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
bool FileDelete(const char *path)
{
    std::u16string wide;
    return Widen(path, &wide) && DeleteFileW(Wide(wide)) != 0;
}
bool FileMove(const char *from, const char *to)
{
    std::u16string wideFrom, wideTo;
    return Widen(from, &wideFrom) && Widen(to, &wideTo) && MoveFileW(Wide(wideFrom), Wide(wideTo)) != 0;
}

// ------------------------------------------------- time, threads, boxes

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

PlatWindow WindowItem(PlatWindow parent, int id) { return (PlatWindow)GetDlgItem((HWND)parent, id); }
void WindowSetText(PlatWindow window, const char *text)
{
    std::u16string wide;
    if (Widen(text, &wide))
        SetWindowTextW((HWND)window, Wide(wide));
}
unsigned WindowGetText(PlatWindow window, char *buf, unsigned size)
{
    if (size == 0)
        return 0;
    buf[0] = 0;
    int units = GetWindowTextLengthW((HWND)window);
    std::vector<wchar_t> text(units + 1);
    units = GetWindowTextW((HWND)window, text.data(), units + 1);
    unsigned n = Narrow(text.data(), units, buf, size);
    if (n >= size) {
        buf[0] = 0;
        return 0;
    }
    return n;
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
