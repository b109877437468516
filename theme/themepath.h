// Path variables of theme files and the rule that expands them.
#pragma once

#include <stddef.h>

// dest (kPathSize characters) = value with a leading "%WinDir%" or
// "%ThemeDir%" (exact case) replaced by the folder and a backslash. A result
// longer than the buffer is cut to it. Returns the length written.
size_t ExpandThemePath(char *dest, const char *value);
