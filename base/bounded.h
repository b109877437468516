// Bounded text: copies into fixed buffers that never write past them and
// never cut. A text that does not fit is refused: the caller is told and
// decides what that means (a clear report, a value left alone), so a cut path
// is never used as if it were whole.
#pragma once

#include <stddef.h>
#include <string.h>

// Every path buffer of the program: any path of up to 260 UTF-16 units, each
// of which takes at most three bytes of UTF-8, and the terminating zero.
constexpr size_t kPathSize = 3 * 260 + 1;
// The longest path the system opens: MAX_PATH less its terminating zero.
constexpr size_t kMaxPathUnits = 259;

// Copies src into dst when it fits with its zero; otherwise dst becomes "".
[[nodiscard]] inline bool CopyText(char *dst, size_t size, const char *src)
{
    if (size == 0)
        return false;
    size_t n = strlen(src);
    if (n >= size) {
        dst[0] = 0;
        return false;
    }
    memmove(dst, src, n + 1);
    return true;
}

// Appends src to the text in dst when the whole fits; otherwise dst is left
// as it was.
[[nodiscard]] inline bool AppendText(char *dst, size_t size, const char *src)
{
    size_t used = strnlen(dst, size);
    size_t n = strlen(src);
    if (used >= size || n >= size - used)
        return false;
    memmove(dst + used, src, n + 1);
    return true;
}

// out = folder + name (name starts with its backslash) when the path fits
// both out's size bytes and the system's kMaxPathUnits; otherwise out becomes
// "" and the result is false.
[[nodiscard]] bool JoinPath(char *out, size_t size, const char *folder, const char *name);
// Whether a path fits the system's kMaxPathUnits (and is UTF-8 at all).
bool PathFits(const char *path);
