// The host backend's drive, paths and C runtime streams.
#include "platform/host/host_internal.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

struct PlatFile {
    FILE *stream;
    bool text;  // line ends CR LF on disk, LF to the program; Ctrl-Z ends a read
    bool eof;
    std::string path;  // as the program named it, for the fault log
};

bool SameText(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); i++)
        if (tolower((unsigned char)a[i]) != tolower((unsigned char)b[i]))
            return false;
    return true;
}

// The entry of folder dir whose name matches name without regard to case, or
// name itself when there is none.
static std::string MatchEntry(const std::string &dir, const std::string &name)
{
    struct stat st;
    if (stat((dir + "/" + name).c_str(), &st) == 0)
        return name;
    std::string found = name;
    if (DIR *d = opendir(dir.c_str())) {
        while (dirent *e = readdir(d))
            if (SameText(e->d_name, name)) {
                found = e->d_name;
                break;
            }
        closedir(d);
    }
    return found;
}

std::string HostPath(const char *windowsPath)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::string p = windowsPath;
    for (char &c : p)
        if (c == '/')
            c = '\\';
    if (p.size() >= 2 && p[1] == ':')
        p = p.substr(2);  // only drive C: exists
    std::string out = m.driveRoot;
    size_t at = 0;
    while (at <= p.size()) {
        size_t end = p.find('\\', at);
        if (end == std::string::npos)
            end = p.size();
        std::string part = p.substr(at, end - at);
        at = end + 1;
        if (part.empty() || part == ".")
            continue;
        if (part == "..") {
            size_t slash = out.rfind('/');
            if (slash != std::string::npos && out.size() > m.driveRoot.size())
                out.resize(slash);
            continue;
        }
        out += "/" + MatchEntry(out, part);
    }
    return out;
}

PlatFile *FileOpen(const char *path, const char *mode)
{
    char base = mode[0];
    if (base != 'r' && base != 'w' && base != 'a')
        return nullptr;
    bool plus = strchr(mode, '+') != nullptr;
    bool binary = strchr(mode, 'b') != nullptr;
    if (HostFaultNow(std::string("FileOpen ") + path + " " + mode))
        return nullptr;
    std::string real = HostPath(path);
    struct stat st;
    if (stat(real.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return nullptr;
    std::string hostMode(1, base);
    hostMode += plus ? "b+" : "b";
    if (strchr(mode, 'x'))
        hostMode += "x";
    FILE *s = fopen(real.c_str(), hostMode.c_str());
    if (!s)
        return nullptr;
    return new PlatFile{s, !binary, false, path};
}

size_t FileRead(void *buf, size_t size, PlatFile *f)
{
    if (!f->text) {
        size_t n = fread(buf, 1, size, f->stream);
        if (n < size)
            f->eof = true;
        return n;
    }
    char *out = (char *)buf;
    size_t n = 0;
    while (n < size) {
        int c = getc(f->stream);
        if (c == EOF || c == 0x1A) {
            f->eof = true;
            break;
        }
        if (c == '\r') {
            int next = getc(f->stream);
            if (next == '\n')
                c = '\n';
            else if (next != EOF)
                ungetc(next, f->stream);
        }
        out[n++] = (char)c;
    }
    return n;
}

// Writes up to size bytes as they stand on disk, within the drive's free space.
static size_t WriteRaw(const char *data, size_t size, FILE *s)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    size_t allowed = size;
    if (m.diskSpace >= 0 && (long long)allowed > m.diskSpace)
        allowed = (size_t)m.diskSpace;
    size_t n = fwrite(data, 1, allowed, s);
    if (m.diskSpace >= 0)
        m.diskSpace -= (long long)n;
    return n;
}

size_t FileWrite(const void *data, size_t size, PlatFile *f)
{
    if (size > 0 && HostFaultNow("FileWrite " + f->path + " " + std::to_string(size)))
        size /= 2;  // a short write, as on a disk that fills up
    const char *in = (const char *)data;
    if (!f->text)
        return WriteRaw(in, size, f->stream);
    size_t done = 0;
    while (done < size) {
        const char *nl = (const char *)memchr(in + done, '\n', size - done);
        size_t run = nl ? (size_t)(nl - (in + done)) : size - done;
        size_t n = WriteRaw(in + done, run, f->stream);
        done += n;
        if (n < run || !nl)
            break;
        if (WriteRaw("\r\n", 2, f->stream) < 2)
            break;
        done++;
    }
    return done;
}

char *FileGets(char *buf, int size, PlatFile *f)
{
    if (size <= 0)
        return nullptr;
    int n = 0;
    while (n < size - 1) {
        char c;
        if (FileRead(&c, 1, f) != 1)
            break;
        buf[n++] = c;
        if (c == '\n')
            break;
    }
    if (n == 0)
        return nullptr;
    buf[n] = 0;
    return buf;
}

bool FileEof(PlatFile *f) { return f->eof; }

long FileLength(PlatFile *f)
{
    long at = ftell(f->stream);
    if (at < 0 || fseek(f->stream, 0, SEEK_END) != 0)
        return -1;
    long length = ftell(f->stream);
    fseek(f->stream, at, SEEK_SET);
    return length;
}

int FileClose(PlatFile *f)
{
    int rc = fclose(f->stream);
    if (HostFaultNow("FileClose " + f->path))
        rc = EOF;
    delete f;
    return rc;
}

bool FileDelete(const char *path)
{
    bool ok = !HostFaultNow(std::string("FileDelete ") + path) && unlink(HostPath(path).c_str()) == 0;
    HostEvent(std::string("file delete ") + path + (ok ? "" : " (failed)"));
    return ok;
}

bool FileMove(const char *from, const char *to)
{
    std::string source = HostPath(from), target = HostPath(to);
    struct stat st;
    bool ok = !HostFaultNow(std::string("FileMove ") + from + " -> " + to) && stat(source.c_str(), &st) == 0 &&
              stat(target.c_str(), &st) != 0 &&
              rename(source.c_str(), target.c_str()) == 0;
    HostEvent(std::string("file move ") + from + " -> " + to + (ok ? "" : " (failed)"));
    return ok;
}

bool FileReplace(const char *from, const char *to)
{
    std::string source = HostPath(from), target = HostPath(to);
    struct stat st;
    bool ok = !HostFaultNow(std::string("FileReplace ") + from + " -> " + to) && stat(source.c_str(), &st) == 0 &&
              rename(source.c_str(), target.c_str()) == 0;
    HostEvent(std::string("file replace ") + from + " -> " + to + (ok ? "" : " (failed)"));
    return ok;
}

bool FileFlushToDisk(const char *path)
{
    if (HostFaultNow(std::string("FileFlushToDisk ") + path))
        return false;
    int fd = open(HostPath(path).c_str(), O_WRONLY | O_CLOEXEC);
    bool ok = fd >= 0 && fsync(fd) == 0;
    if (fd >= 0)
        close(fd);
    HostEvent(std::string("file flush ") + path + (ok ? "" : " (failed)"));
    return ok;
}

unsigned WindowsFolder(char *buf, unsigned size)
{
    unsigned length = (unsigned)strlen(kHostWindowsFolder);
    if (size <= length)
        return length + 1;
    memcpy(buf, kHostWindowsFolder, length + 1);
    return length;
}

// A whole text into buf, or "" and 0 when it does not fit.
static unsigned CopyWhole(const std::string &text, char *buf, unsigned size)
{
    if (size == 0)
        return 0;
    buf[0] = 0;
    if (text.size() + 1 > size)
        return 0;
    memcpy(buf, text.c_str(), text.size() + 1);
    return (unsigned)text.size();
}

unsigned ModuleFileName(char *buf, unsigned size)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return CopyWhole(m.modulePath, buf, size);
}

// The profile folder is named after the user, as the system names it.
unsigned LocalAppDataFolder(char *buf, unsigned size)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::string folder = "C:\\users\\" + m.userName + "\\AppData\\Local";
    std::string at = "C:";
    for (const char *part : {"users", m.userName.c_str(), "AppData", "Local"}) {
        at += std::string("\\") + part;
        mkdir(HostPath(at.c_str()).c_str(), 0755);
    }
    return CopyWhole(folder, buf, size);
}

bool FolderCreate(const char *path)
{
    std::string real = HostPath(path);
    bool made = mkdir(real.c_str(), 0755) == 0;
    struct stat st;
    bool there = stat(real.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    if (made)
        HostEvent(std::string("folder create ") + path);
    return there;
}

// With short names switched off, as on most of today's drives, a file's short
// path is its long path.
unsigned ShortPathName(const char *longPath, char *shortPath, unsigned size)
{
    struct stat st;
    if (stat(HostPath(longPath).c_str(), &st) != 0)
        return 0;
    unsigned length = (unsigned)strlen(longPath);
    if (size <= length)
        return length + 1;
    memmove(shortPath, longPath, length + 1);
    return length;
}
