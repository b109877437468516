// Values of theme files as the installer reads them and the backup writes
// them: whole, whatever their length, with the registry type that the backup
// records beside a value it captured.
#pragma once

#include <string>

// The value of a key, or the default when the key, the section or the file is
// missing: read whole, however long.
std::string ReadThemeValue(const char *section, const char *key, const char *defaultText, const char *file);

// A value's type stands in the key "<key>.Type" beside it: "REG_EXPAND_SZ", or
// "none" for a value that did not exist, which installing the file removes.
// Without it, or with any other text, the value is REG_SZ: the colour themes'
// files and backups made before types were kept read as they always did.
constexpr unsigned kThemeNoValue = 0;  // besides kRegSz and kRegExpandSz
unsigned ReadThemeValueType(const char *section, const char *key, const char *file);
std::string ThemeTypeKey(const char *key);
// The text that records a type, or null for REG_SZ, which needs none.
const char *ThemeTypeText(unsigned type);
