// The profile-string operations of the win32 backend: an INI file's value
// read whole, however long, and a write whose failure on a full disk is seen.
// Apart from the registry because the profile functions cut and fail in ways
// of their own.
#include "platform/system.h"
#include "platform/win32/win32_text.h"

#include <vector>

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
