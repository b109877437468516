// The one seam between the program and the system it runs on.
//
// Every registry, profile-string, system-settings, file, thread, time, screen
// and message-box operation that the portable folders need goes through here;
// the window operations, for the main window's code alone, are in window.h.
// Two backends implement both: win32/ calls the real functions, and host/ is a
// simulated Windows for Linux tests (see host/host.h).
//
// The operations keep the contracts of the Win32 functions they stand for:
// same arguments, same results, same error codes, so that callers are written
// exactly as they would be against the real API. Two rules differ, and they
// hold for every operation:
// - Text is UTF-8. The win32 backend converts it to UTF-16 and calls the wide
//   ("W") function, and converts what comes back; a text that is not UTF-8
//   fails the call as a bad argument would, never reaching the system cut or
//   with a letter replaced.
// - A text that does not fit the caller's buffer is refused, never cut: the
//   buffer gets "" and the result tells the size needed.
// No <windows.h> here.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Opaque handles. On win32 they are the real HKEY, HWND, HINSTANCE, HANDLE.
typedef struct PlatKeyRec *PlatKey;
typedef struct PlatWindowRec *PlatWindow;
typedef struct PlatInstanceRec *PlatInstance;
typedef struct PlatThreadRec *PlatThread;
typedef struct PlatFile PlatFile;

// Win32 error codes that callers look at.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorMoreData = 234;
constexpr long kErrorUnsupportedType = 1630;

// ---------------------------------------------------------------- registry

enum RegRoot { kRegCurrentUser, kRegClassesRoot, kRegLocalMachine };

// Access rights, the Win32 values.
constexpr unsigned kKeyQueryValue = 0x0001;
constexpr unsigned kKeySetValue = 0x0002;
constexpr unsigned kKeyAllAccess = 0xF003F;

// Value types, the Win32 values.
constexpr unsigned kRegSz = 1;
constexpr unsigned kRegExpandSz = 2;
constexpr unsigned kRegBinary = 3;
constexpr unsigned kRegDword = 4;

// RegOpenKeyExW: opens an existing key; a missing key is never created.
long RegistryOpen(RegRoot root, const char *path, unsigned access, PlatKey *key);
// RegCreateKeyExW (no class, non-volatile): opens the key, creating it and any
// missing parents.
long RegistryCreate(RegRoot root, const char *path, unsigned access, PlatKey *key);
// RegSetValueExW with the bytes as given. A null or empty name is the key's
// default value.
long RegistrySetValue(PlatKey key, const char *name, unsigned type, const void *data, uint32_t size);
// RegSetValueExW of a text, REG_SZ or REG_EXPAND_SZ: stored as the system
// stores texts, in UTF-16 with its terminating zero.
long RegistrySetText(PlatKey key, const char *name, const char *text, unsigned type = kRegSz);
// RegQueryValueExW: copies the stored bytes (a text's are UTF-16) into data,
// *size in bytes on entry and the stored size on return. A value larger than
// the buffer gives kErrorMoreData and leaves the buffer as it was. *type, when
// not null, gets the value's type once the value is found (also with
// kErrorMoreData); a null data asks for the size and the type alone.
long RegistryQuery(PlatKey key, const char *name, void *data, uint32_t *size, unsigned *type = nullptr);
// RegQueryValueExW of a text value: the text, up to its first zero, in UTF-8
// with a terminating zero; *size is the buffer's size on entry and the text's
// length plus one on return. A text that does not fit gives kErrorMoreData
// (the buffer holds ""); a value of another type kErrorUnsupportedType. *type,
// when not null, gets kRegSz or kRegExpandSz.
long RegistryQueryText(PlatKey key, const char *name, char *text, uint32_t *size, unsigned *type);
// RegDeleteValueW; kErrorFileNotFound when there is no such value.
long RegistryDeleteValue(PlatKey key, const char *name);
long RegistryFlush(PlatKey key);
long RegistryClose(PlatKey key);
// RegDeleteTreeW on root\path, the key itself included (test set-up).
long RegistryDeleteTree(RegRoot root, const char *path);

// ---------------------------------------------------------- profile strings

// GetPrivateProfileStringW for one section and key: the value, or the default
// (with its trailing blanks removed) when the key, the section or the file is
// missing. Returns the value's length in bytes; when it does not fit with its
// terminating zero (the length is size or more), buf holds "". A file name
// without a folder means a file in the Windows folder. A file that starts with
// the UTF-16 byte-order mark is read as UTF-16, any other in the system's
// ANSI code page.
unsigned ProfileGetString(const char *section, const char *key, const char *defaultText,
                          char *buf, unsigned size, const char *file);
// WritePrivateProfileStringW: creates the file and the section when missing,
// replaces the key's value when the key exists. A null value deletes the key.
// The file keeps its encoding: a UTF-16 file holds any letter, a new file or
// an ANSI one only those of the ANSI code page (others become "?"), so a file
// meant to hold any letter is first created holding only the byte-order mark.
bool ProfileWriteString(const char *section, const char *key, const char *value, const char *file);

// ------------------------------------------------------------ live settings

// SystemParametersInfo action numbers and flags.
constexpr unsigned kSpiSetDeskWallpaper = 20;
constexpr unsigned kSpiSetScreenSaveActive = 17;
constexpr unsigned kSpiGetNonclientMetrics = 41;
constexpr unsigned kSpiSetNonclientMetrics = 42;
constexpr unsigned kSpiGetIconMetrics = 45;
constexpr unsigned kSpiSetIconMetrics = 46;
constexpr unsigned kSpiSetCursors = 87;
constexpr unsigned kSpiSetIcons = 88;
constexpr unsigned kSpifUpdateIniFile = 1;

// SystemParametersInfo for the actions above, never asked to tell the other
// programs (BroadcastIniChange does that, with a bound). The wallpaper's path
// is a text (SystemParametersInfoW); the metric records are the byte records
// of records.h (SystemParametersInfoA).
bool SystemParameters(unsigned action, unsigned param, void *pointer, unsigned flags);
// SystemParametersInfoW(SPI_GETHIGHCONTRAST): a contrast theme is on
// (HCF_HIGHCONTRASTON), chosen by a user who needs its colours to read the
// screen. False when the system cannot tell.
bool HighContrastOn();
// SetSysColors: count elements and COLORREF values (red in the low byte). The
// system repaints every window after it; the call returns within a few seconds
// even when a window of another program does not answer the repaint, the
// colours set.
bool SysColorsSet(int count, const int *elements, const uint32_t *colors);
// GetSysColor.
uint32_t SysColorGet(int element);
// The desktop's colour, where no wallpaper covers it (COLOR_BACKGROUND).
constexpr int kColorBackground = 1;
// SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, action, text,
// SMTO_ABORTIFHUNG, a second a window): every top-level window is told, and
// one that does not answer is given up on. A null text sends none.
void BroadcastIniChange(unsigned action, const char *text);

// SHChangeNotify with SHCNF_IDLIST and no items.
constexpr long kShcneAssocChanged = 0x08000000;
constexpr long kShcneUpdateImage = 0x00008000;
void ShellNotify(long event);

// ------------------------------------------------------------ folders, files

// GetWindowsDirectoryW: the folder without a trailing backslash; returns its
// length, or the size needed (zero included) when buf is too small.
unsigned WindowsFolder(char *buf, unsigned size);
// GetModuleFileNameW for the running program: its full path; returns its
// length, or 0 when it cannot be had or does not fit (buf then holds "").
unsigned ModuleFileName(char *buf, unsigned size);
// SHGetFolderPathW with CSIDL_LOCAL_APPDATA: the user's own folder for the
// data of programs, never shared with another account; returns its length, or
// 0 when it cannot be had or does not fit (buf then holds "").
unsigned LocalAppDataFolder(char *buf, unsigned size);
// CreateDirectoryW; true when the folder exists afterwards, made now or before.
bool FolderCreate(const char *path);
// GetShortPathNameW: 0 when the file does not exist or its short form cannot
// be resolved (shortPath then holds nothing to read); otherwise the length (or
// the size needed when it does not fit, leaving shortPath untouched).
unsigned ShortPathName(const char *longPath, char *shortPath, unsigned size);

// The C runtime's stream functions (_wfopen) on a Windows path. Modes as
// fopen: "r", "rb", "w", "wb", "at", and "wbx": the file is made now, and the
// open fails when a file of that name is there already (CreateFileW with
// CREATE_NEW), so that no other program's file is ever written through it.
// Text mode stores line ends as CR LF and reads them back as LF.
PlatFile *FileOpen(const char *path, const char *mode);
size_t FileRead(void *buf, size_t size, PlatFile *f);
size_t FileWrite(const void *data, size_t size, PlatFile *f);
// fgets: at most size - 1 characters, up to and with the line end.
char *FileGets(char *buf, int size, PlatFile *f);
bool FileEof(PlatFile *f);
// The file's length in bytes (binary streams), or -1.
long FileLength(PlatFile *f);
int FileClose(PlatFile *f);
// DeleteFileW, MoveFileW (fails when the target exists).
bool FileDelete(const char *path);
bool FileMove(const char *from, const char *to);
// MoveFileExW with MOVEFILE_REPLACE_EXISTING and MOVEFILE_WRITE_THROUGH: the
// file takes the name in one step, whether or not a file has it; the file
// that had it is given up only as the new one takes its place.
bool FileReplace(const char *from, const char *to);
// FlushFileBuffers on a closed file: what was written to it is on the disk
// when the call returns, so that a rename after it never puts in place a file
// that a power cut leaves empty or cut short.
bool FileFlushToDisk(const char *path);

// ------------------------------------------------- time, threads, boxes

struct PlatTime {
    int year;     // four digits
    int month;    // 1-12
    int day;      // 1-31
    int weekday;  // 0 Sunday - 6 Saturday
    int hour, minute, second;
};
void LocalTimeNow(PlatTime *t);
// The time now in seconds since 1970-01-01 00:00 UTC (GetSystemTimeAsFileTime).
long long UtcSecondsNow();
// The local time of a UTC instant through the system's time zone, its summer
// time included (SystemTimeToTzSpecificLocalTime); the weekday is set.
bool LocalFromUtc(long long utcSeconds, PlatTime *local);
// The UTC instant of a local time (TzSpecificLocalTimeToSystemTime); the
// weekday is not read. A local time that a change of summer time skips or
// repeats gives the system's own choice.
bool UtcFromLocal(const PlatTime &local, long long *utcSeconds);

// ------------------------------------------------- the Task Scheduler
// The user's security identifier as text ("S-1-5-21-..."; GetTokenInformation
// and ConvertSidToStringSidW); false when it does not fit.
bool UserSidText(char *text, size_t size);
// A task registered from its XML at path, "\Folder\Name" (ITaskService,
// ITaskFolder::RegisterTask with TASK_CREATE_OR_UPDATE and the interactive
// token of the user who calls); the folder is made when it is not there, a
// task at path is replaced. False when the Task Scheduler cannot be reached or
// refuses the task: then nothing changed.
bool TaskRegister(const char *path, const char *xml);
// Whether a task is at path: 1 it is, 0 it is not, -1 the Task Scheduler
// cannot be reached.
int TaskPresent(const char *path);
// Deletes the task at path: true when it is gone or was never there.
bool TaskDelete(const char *path);
// Deletes every task in folder ("\Folder"), whoever registered it, then the
// folder: true when it is gone or was never there. Other users' tasks need an
// administrator. Where the Task Scheduler cannot list a folder's tasks (Wine
// 8), they are found by name: namePrefix and the security identifier of each
// user who has a profile on the machine (the ProfileList key's subkeys).
bool TaskFolderDelete(const char *folder, const char *namePrefix);

// CreateThread with default security and stack, running at once; null when it
// cannot be created.
typedef unsigned long (*ThreadRoutine)(void *param);
PlatThread ThreadStart(ThreadRoutine routine, void *param);
// WaitForSingleObject on the thread; kInfinite waits without a time-out.
constexpr unsigned long kInfinite = 0xFFFFFFFF;
constexpr unsigned long kWaitObject0 = 0;
constexpr unsigned long kWaitTimeout = 258;
constexpr unsigned long kWaitFailed = 0xFFFFFFFF;
unsigned long ThreadWait(PlatThread thread, unsigned long ms);
void ThreadClose(PlatThread thread);
// SwitchToThread: lets another thread that is ready run on this processor.
void ThreadYield();
// GetCurrentProcessId.
unsigned long ProcessIdentifier();
// CreateMutexW (default security, not owned) of a named object, a name of the
// session's ("Local\..."): true when this call made it; false when a process
// had made it already (ERROR_ALREADY_EXISTS) or it cannot be had (an object of
// that name that this account may not open). The handle is never closed: the
// object lives until the processes that made and opened it end, however they
// end.
bool SessionMutexCreate(const char *name);
// The processors the program may run on (GetSystemInfo), at least 1.
int ProcessorCount();

// A block of bytes for a large working buffer, released with free(); null
// when there is not enough memory. Where the system can back a block with
// large pages without a privilege, a block of 2 MB or more is laid out for
// them: its first touches then take a handful of faults instead of one every
// 4 KB, which for a fresh buffer of megabytes is a good part of the work.
void *LargeBlockAllocate(size_t bytes);

// MessageBoxW styles and answers, the Win32 values.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbYesNoCancel = 0x3;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbSystemModal = 0x1000;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;
int MessageBoxShow(PlatWindow owner, const char *text, const char *caption, unsigned style);

// Screen facts of the desktop window: size in pixels (SM_CXSCREEN,
// SM_CYSCREEN), bits per pixel times planes, and pixels per metre from
// HORZRES * 1000 / HORZSIZE and VERTRES * 1000 / VERTSIZE. This program
// declares per-monitor DPI awareness and is told real pixels; a program that
// does not (or a system that does not read the declaration) is told a
// scaled-down size on a scaled screen: 1920 x 1080 for a 3840 x 2160 screen
// at 200 %.
void ScreenSize(int *width, int *height);
// The primary display's current mode (EnumDisplaySettings with no device and
// ENUM_CURRENT_SETTINGS, dmPelsWidth and dmPelsHeight): the screen's real
// pixels, never scaled for DPI. False, leaving both alone, when the system
// cannot tell.
bool DisplayModeSize(int *width, int *height);
int ScreenBitsPerPixel();
void ScreenPelsPerMeter(int *x, int *y);

// A rectangle of pixels; right and bottom are one past the last pixel. A
// monitor's is in the virtual screen's coordinates: the primary monitor's
// top-left corner is 0, 0, and a monitor left of or above it has negative
// ones. A control's is in its parent's client area.
struct PixelRect {
    int left, top, right, bottom;
};
// One monitor as the system describes it.
struct MonitorRecord {
    PixelRect rect;  // GetMonitorInfoW's rcMonitor: scaled down, as ScreenSize is, for a program
                      // that the system takes as unaware of DPI on a scaled screen
    PixelRect mode;  // the monitor's display mode (EnumDisplaySettingsW on its device: dmPosition,
                      // dmPelsWidth, dmPelsHeight): real pixels, never scaled for DPI
    bool modeKnown;   // false when the system could not tell the mode; mode is then rect
    bool primary;     // MONITORINFOF_PRIMARY
};
// EnumDisplayMonitors over the whole desktop: the first capacity monitors in
// the system's order; returns how many there are, which may be more than
// capacity, or 0 when the system cannot tell.
int DisplayMonitors(MonitorRecord *monitors, int capacity);

// Whether the system is at least Windows major.minor (VerifyVersionInfoW; the
// manifest names every version the program was tested for, so the answer is
// the system's own up to Windows 10 and 11, which are 10.0).
bool WindowsVersionAtLeast(int major, int minor);

// exit(): the runtime's ordinary exit path, flushing streams and running exit
// handlers.
[[noreturn]] void ProcessExit(int code);
