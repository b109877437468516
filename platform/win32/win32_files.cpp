// The folders and files of the win32 backend: the Windows folder, the
// program's path, the user's data folder, short names, and the C runtime's
// streams on wide paths. Apart from the rest because every path here is
// converted whole or refused, never cut.
#include "platform/system.h"
#include "platform/win32/win32_text.h"

#include <fcntl.h>
#include <io.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <vector>

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

// On Windows a PlatFile is the runtime's own stream. The runtime's fopen
// knows no "x", so a file made now is made by the system and handed to it.
PlatFile *FileOpen(const char *path, const char *mode)
{
    std::u16string widePath, wideMode;
    if (!Widen(path, &widePath) || !Widen(mode, &wideMode))
        return nullptr;
    if (strcmp(mode, "wbx") != 0)
        return (PlatFile *)_wfopen(Wide(widePath), Wide(wideMode));
    HANDLE made = CreateFileW(Wide(widePath), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (made == INVALID_HANDLE_VALUE)
        return nullptr;
    int fd = _open_osfhandle((intptr_t)made, _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(made);
        return nullptr;
    }
    FILE *stream = _fdopen(fd, "wb");
    if (!stream)
        _close(fd);
    return (PlatFile *)stream;
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
bool FileReplace(const char *from, const char *to)
{
    std::u16string wideFrom, wideTo;
    return Widen(from, &wideFrom) && Widen(to, &wideTo) &&
           MoveFileExW(Wide(wideFrom), Wide(wideTo), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
bool FileFlushToDisk(const char *path)
{
    std::u16string wide;
    if (!Widen(path, &wide))
        return false;
    HANDLE file = CreateFileW(Wide(wide), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool flushed = FlushFileBuffers(file) != 0;
    return CloseHandle(file) && flushed;
}
