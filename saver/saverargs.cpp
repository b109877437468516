#include "saver/saverargs.h"

#include <ctype.h>

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A window handle in decimal, as the system writes it; 0 when there is none or
// it does not fit a handle.
static uintptr_t ParseWindow(const char *p)
{
    while (*p == ':' || IsBlank(*p))
        p++;
    uintptr_t value = 0;
    bool any = false;
    for (; isdigit((unsigned char)*p); p++) {
        unsigned digit = (unsigned)(*p - '0');
        if (value > (UINTPTR_MAX - digit) / 10)
            return 0;
        value = value * 10 + digit;
        any = true;
    }
    return any ? value : 0;
}

SaverArgs ParseSaverArgs(const char *commandLine)
{
    SaverArgs args = {kSaverConfigure, 0};
    const char *p = commandLine ? commandLine : "";
    while (IsBlank(*p))
        p++;
    if (*p != '/' && *p != '-')
        return args;
    switch (tolower((unsigned char)p[1])) {
    case 's':
        args.mode = kSaverFullScreen;
        break;
    case 'p':
        args.mode = kSaverPreview;
        args.window = ParseWindow(p + 2);
        break;
    case 'a':
        args.mode = kSaverIgnore;
        break;
    case 'c':
        args.window = ParseWindow(p + 2);
        break;
    }
    return args;
}
