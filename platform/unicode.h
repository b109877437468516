// UTF-8, the program's text inside, and UTF-16, the system's text at the
// seam. Both conversions are strict: a byte sequence that is not UTF-8 (an
// overlong form, a surrogate, a value past U+10FFFF, a cut sequence) or a
// lone surrogate in UTF-16 fails the conversion instead of being replaced,
// so a text is either carried whole or refused.
#pragma once

#include <stddef.h>

#include <string>

bool Utf8ToUtf16(const char *text, std::u16string *out);
bool Utf16ToUtf8(const char16_t *text, size_t units, std::string *out);
// The UTF-16 units that a UTF-8 text takes; SIZE_MAX when it is not UTF-8.
size_t Utf16Units(const char *text);
