#include "base/bounded.h"

#include "platform/unicode.h"

#include <stdint.h>

bool PathFits(const char *path)
{
    size_t units = Utf16Units(path);
    return units != SIZE_MAX && units <= kMaxPathUnits;
}

bool JoinPath(char *out, size_t size, const char *folder, const char *name)
{
    if (!CopyText(out, size, folder) || !AppendText(out, size, name) || !PathFits(out)) {
        if (size > 0)
            out[0] = 0;
        return false;
    }
    return true;
}
