// Values of theme files as the installer reads them and the backup writes
// them: whole, whatever their length, with the registry type that the backup
// records beside a value it captured.
#pragma once

#include <string>

// The value of a key, or the default when the key, the section or the file is
// missing: read whole, however long.
std::string ReadThemeValue(const char *section, const char *key, const char *defaultText, const char *file);

// The text to write for a value so that ReadThemeValue gives it back whole:
// the profile functions take the blanks off both ends of a value and one pair
// of quotation marks around it, so a text that starts or ends with a blank,
// or stands in quotation marks itself, is written in a pair of its own.
std::string ThemeValueText(const std::string &text);

// Whether the file has the key in the section, whatever its value.
bool ThemeHasValue(const char *section, const char *key, const char *file);

// A value's type stands in the key "<key>.Type" beside it: "REG_EXPAND_SZ",
// "REG_DWORD", "REG_BINARY", or "none" for a value that did not exist, which
// installing the file removes. Without it, or with any other text, the value
// is REG_SZ: the colour themes' files and backups made before types were kept
// read as they always did.
constexpr unsigned kThemeNoValue = 0;  // besides kRegSz, kRegExpandSz, kRegDword and kRegBinary
unsigned ReadThemeValueType(const char *section, const char *key, const char *file);
std::string ThemeTypeKey(const char *key);
// The text that records a type, or null for REG_SZ, which needs none.
const char *ThemeTypeText(unsigned type);

// The text of a value that is no text: a REG_DWORD as its decimal number
// ("4294967295"), a REG_BINARY as its bytes, two lower-case hex digits each,
// a blank between two ("0a ff 10"; "" for none). bytes holds the stored bytes:
// four, least significant first, for a REG_DWORD.
std::string ThemeDataText(unsigned type, const std::string &bytes);
// The stored bytes that such a text stands for; false, *bytes empty, when the
// text is not exactly of its type's form (a number past 32 bits, a stray
// letter, a lone digit).
bool ThemeDataBytes(unsigned type, const std::string &text, std::string *bytes);
