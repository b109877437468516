// Files read whole, and files written under a name of their own and put in
// place only when whole, through the platform's file calls.
#pragma once

#include "platform/system.h"

#include <stddef.h>

#include <string>

// The file's bytes into *bytes; false when it cannot be opened.
bool ReadFileBytes(const char *path, std::string *bytes);

// A file of this run's own in folder, beside the file it is to become: the
// folder, "\~dq", eight hex digits and ".tmp", a name that no file had (made
// now, never opened over another's), open for binary writing. Null when none
// can be made; *path gets its path.
PlatFile *MakePartialFile(const char *folder, char *path, size_t size);
// Puts a written and closed partial file in place as whole, once it is on the
// disk. With replace, the file that has the name is given up as this one takes
// it; without, a file that has the name stays and the partial goes (false).
// The partial never stays behind: it is deleted when it does not take the name.
bool PlacePartialFile(const char *partial, const char *whole, bool replace);
