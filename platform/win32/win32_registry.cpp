// The registry operations of the win32 backend: keys opened, created, flushed
// and closed, values set, read and deleted through the wide calls. Apart from
// the rest of the backend because texts cross the seam here in two forms: as
// the stored UTF-16 bytes and as UTF-8 read back whole.
#include "platform/system.h"
#include "platform/win32/win32_text.h"

#include <vector>

static_assert(kErrorMoreData == ERROR_MORE_DATA && kErrorUnsupportedType == ERROR_UNSUPPORTED_TYPE &&
              kErrorInvalidParameter == ERROR_INVALID_PARAMETER, "codes");
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegBinary == REG_BINARY &&
                  kRegDword == REG_DWORD, "value types");

// A registry value's name: null stays null (the default value).
struct ValueName {
    std::u16string text;
    bool ok;
    const wchar_t *get() const { return ok ? Wide(text) : nullptr; }
    explicit ValueName(const char *name) : ok(name != nullptr) { ok = ok && Widen(name, &text); }
};

static HKEY RootKey(RegRoot root)
{
    switch (root) {
    case kRegClassesRoot: return HKEY_CLASSES_ROOT;
    case kRegLocalMachine: return HKEY_LOCAL_MACHINE;
    default: return HKEY_CURRENT_USER;
    }
}

long RegistryOpen(RegRoot root, const char *path, unsigned access, PlatKey *key)
{
    *key = nullptr;
    std::u16string wide;
    if (!Widen(path, &wide))
        return ERROR_INVALID_PARAMETER;
    HKEY h = nullptr;
    long rc = RegOpenKeyExW(RootKey(root), Wide(wide), 0, access, &h);
    *key = rc == ERROR_SUCCESS ? (PlatKey)h : nullptr;
    return rc;
}

long RegistryCreate(RegRoot root, const char *path, unsigned access, PlatKey *key)
{
    *key = nullptr;
    std::u16string wide;
    if (!Widen(path, &wide))
        return ERROR_INVALID_PARAMETER;
    HKEY h = nullptr;
    DWORD disposition = 0;
    long rc = RegCreateKeyExW(RootKey(root), Wide(wide), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &h,
                              &disposition);
    *key = rc == ERROR_SUCCESS ? (PlatKey)h : nullptr;
    return rc;
}

long RegistrySetValue(PlatKey key, const char *name, unsigned type, const void *data, uint32_t size)
{
    ValueName wideName(name);
    if (name && !wideName.ok)
        return ERROR_INVALID_PARAMETER;
    return RegSetValueExW((HKEY)key, wideName.get(), 0, type, (const BYTE *)data, size);
}

long RegistrySetText(PlatKey key, const char *name, const char *text, unsigned type)
{
    std::u16string wide;
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || !Widen(text, &wide))
        return ERROR_INVALID_PARAMETER;
    return RegistrySetValue(key, name, type, wide.c_str(), (uint32_t)(wide.size() + 1) * 2);
}

long RegistryQuery(PlatKey key, const char *name, void *data, uint32_t *size, unsigned *type)
{
    ValueName wideName(name);
    if (name && !wideName.ok)
        return ERROR_INVALID_PARAMETER;
    DWORD n = *size, valueType = REG_NONE;
    long rc = RegQueryValueExW((HKEY)key, wideName.get(), nullptr, &valueType, (BYTE *)data, &n);
    *size = n;
    if (type && (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA))
        *type = valueType;
    return rc;
}

long RegistryQueryText(PlatKey key, const char *name, char *text, uint32_t *size, unsigned *type)
{
    ValueName wideName(name);
    if (*size > 0)
        text[0] = 0;
    if (name && !wideName.ok)
        return ERROR_INVALID_PARAMETER;
    // The stored size first, then the bytes: a value can change between the
    // two, so the read repeats while it grows.
    std::vector<wchar_t> stored;
    DWORD valueType = 0, bytes = 0;
    long rc;
    do {
        rc = RegQueryValueExW((HKEY)key, wideName.get(), nullptr, &valueType, nullptr, &bytes);
        if (rc != ERROR_SUCCESS)
            return rc;
        stored.assign(bytes / 2 + 1, 0);
        rc = RegQueryValueExW((HKEY)key, wideName.get(), nullptr, &valueType, (BYTE *)stored.data(), &bytes);
    } while (rc == ERROR_MORE_DATA);
    if (rc != ERROR_SUCCESS)
        return rc;
    if (valueType != REG_SZ && valueType != REG_EXPAND_SZ)
        return ERROR_UNSUPPORTED_TYPE;
    if (type)
        *type = valueType;
    size_t units = wcsnlen(stored.data(), bytes / 2);
    unsigned length = Narrow(stored.data(), units, text, *size);
    if (length == 0 && units > 0)
        return ERROR_INVALID_DATA;
    if (length >= *size) {
        *size = length;
        return ERROR_MORE_DATA;
    }
    *size = length + 1;
    return ERROR_SUCCESS;
}

long RegistryDeleteValue(PlatKey key, const char *name)
{
    ValueName wideName(name);
    if (name && !wideName.ok)
        return ERROR_INVALID_PARAMETER;
    return RegDeleteValueW((HKEY)key, wideName.get());
}

long RegistryFlush(PlatKey key) { return RegFlushKey((HKEY)key); }
long RegistryClose(PlatKey key) { return RegCloseKey((HKEY)key); }
long RegistryDeleteTree(RegRoot root, const char *path)
{
    std::u16string wide;
    if (!Widen(path, &wide))
        return ERROR_INVALID_PARAMETER;
    long rc = RegDeleteTreeW(RootKey(root), Wide(wide));
    RegDeleteKeyW(RootKey(root), Wide(wide));  // in case the tree call left the emptied key
    return rc;
}
