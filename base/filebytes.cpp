#include "base/filebytes.h"

#include "base/bounded.h"

#include <stdio.h>

#include <atomic>

bool ReadFileBytes(const char *path, std::string *bytes)
{
    bytes->clear();
    PlatFile *f = FileOpen(path, "rb");
    if (!f)
        return false;
    char chunk[4096];
    size_t got;
    while ((got = FileRead(chunk, sizeof chunk, f)) > 0)
        bytes->append(chunk, got);
    FileClose(f);
    return true;
}

PlatFile *MakePartialFile(const char *folder, char *path, size_t size)
{
    // The process's identifier keeps two runs' names apart; the count, one
    // run's files (the window's thread and the wallpaper job's) and a name
    // left by a run that ended half-way.
    static std::atomic<unsigned long> sequence;
    for (int attempt = 0; attempt < 16; attempt++) {
        char name[24];
        snprintf(name, sizeof name, "\\~dq%08lx.tmp", ((ProcessIdentifier() << 8) ^ sequence++) & 0xFFFFFFFFul);
        if (!JoinPath(path, size, folder, name))
            return nullptr;
        if (PlatFile *f = FileOpen(path, "wbx"))
            return f;
    }
    path[0] = 0;
    return nullptr;
}

bool PlacePartialFile(const char *partial, const char *whole, bool replace)
{
    bool placed = FileFlushToDisk(partial) && (replace ? FileReplace(partial, whole) : FileMove(partial, whole));
    if (!placed)
        FileDelete(partial);
    return placed;
}
