// A file read whole through the platform's file calls, however long.
#pragma once

#include <string>

// The file's bytes into *bytes; false when it cannot be opened.
bool ReadFileBytes(const char *path, std::string *bytes);
