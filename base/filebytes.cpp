#include "base/filebytes.h"

#include "platform/system.h"

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
