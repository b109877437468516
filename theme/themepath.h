// Path variables of theme files and the rule that expands them.
#pragma once

#include <stddef.h>

#include <string>

// The value with a leading "%WinDir%" or "%ThemeDir%" (exact case) replaced by
// the folder (the Windows folder, or themeDir) and a backslash; a value
// without one stays as it is. False when the expanded path is longer than the
// system's paths: the value is then not to be used, never cut.
bool ExpandThemePath(const std::string &value, const std::string &themeDir, std::string *path);
// The folder that a value's path variable stands for, or "" when it has none:
// what a report of a path too long names.
std::string ThemePathFolder(const std::string &value, const std::string &themeDir);
// Whether the value's path would fit below a drive's root ("C:") in place of
// its variable's folder: when it would not, no folder is short enough for it,
// and the value itself is what is too long.
bool ThemePathFitsBelowRoot(const std::string &value);
