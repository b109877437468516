// The text conversions every file of the win32 backend makes at the seam:
// UTF-8 from the program into the wide ("W") calls, and UTF-16 from the
// system back into the caller's buffer, refused whole when it does not fit.
// Only the win32 backend includes it.
#pragma once

#include "platform/unicode.h"

#include <windows.h>

#include <string.h>

#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units");

// A UTF-8 text as a call's wide text; false when it is null or not UTF-8.
inline bool Widen(const char *text, std::u16string *out) { return text && Utf8ToUtf16(text, out); }
inline const wchar_t *Wide(const std::u16string &text) { return (const wchar_t *)text.c_str(); }

// A wide text of the system (units long) as UTF-8 in buf (size bytes).
// Returns the length; when it does not fit, or is not UTF-16, buf gets "" and
// the result is the size needed (the length plus one), or 0 for a text that
// cannot be converted.
inline unsigned Narrow(const wchar_t *text, size_t units, char *buf, unsigned size)
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
