// Registry values read whole, however long: the capture and the installer
// never cut or empty a value because of a buffer.
#pragma once

#include "platform/system.h"

#include <string>

// RegistryQueryText into a buffer that grows until the text fits; the result
// and *type as there.
long ReadRegistryText(PlatKey key, const char *name, std::string *text, unsigned *type);
// RegistryQuery into a buffer that grows until the value fits: its stored
// bytes and its type, whatever the type.
long ReadRegistryValue(PlatKey key, const char *name, std::string *bytes, unsigned *type);
