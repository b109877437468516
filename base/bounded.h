// Bounded copies into fixed buffers: the text is cut to the buffer (size - 1
// characters and a terminating zero), never written past it.
#pragma once

#include <stddef.h>
#include <string.h>

// Copies src into dst; returns the length written.
inline size_t CopyText(char *dst, size_t size, const char *src)
{
    if (size == 0)
        return 0;
    size_t n = strlen(src);
    if (n >= size)
        n = size - 1;
    memmove(dst, src, n);
    dst[n] = 0;
    return n;
}

// Appends src to the text in dst; returns the new length.
inline size_t AppendText(char *dst, size_t size, const char *src)
{
    size_t used = strnlen(dst, size);
    if (used >= size)
        return used;
    return used + CopyText(dst + used, size - used, src);
}
