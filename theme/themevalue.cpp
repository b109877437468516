#include "theme/themevalue.h"

#include "platform/system.h"

#include <strings.h>

#include <vector>

std::string ReadThemeValue(const char *section, const char *key, const char *defaultText, const char *file)
{
    std::vector<char> buf(512);
    for (;;) {
        unsigned length = ProfileGetString(section, key, defaultText, buf.data(), (unsigned)buf.size(), file);
        if (length < buf.size())
            return std::string(buf.data(), length);
        buf.resize((size_t)length + 1);
    }
}

unsigned ReadThemeValueType(const char *section, const char *key, const char *file)
{
    std::string type = ReadThemeValue(section, ThemeTypeKey(key).c_str(), "", file);
    if (strcasecmp(type.c_str(), "REG_EXPAND_SZ") == 0)
        return kRegExpandSz;
    if (strcasecmp(type.c_str(), "none") == 0)
        return kThemeNoValue;
    return kRegSz;
}

std::string ThemeTypeKey(const char *key) { return std::string(key) + ".Type"; }

const char *ThemeTypeText(unsigned type)
{
    switch (type) {
    case kRegExpandSz: return "REG_EXPAND_SZ";
    case kThemeNoValue: return "none";
    default: return nullptr;
    }
}
