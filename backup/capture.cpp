// Captures of the settings groups, in the sections, keys and textual forms in
// which the installer reads them back.
#include "backup/backup.h"

#include "base/bounded.h"
#include "base/registrytext.h"
#include "theme/catalogue.h"
#include "theme/metrictext.h"
#include "theme/themelook.h"
#include "theme/themekeys.h"
#include "theme/themevalue.h"

#include <string.h>

#include <initializer_list>

static void WriteThemeValue(ThemeWriter *out, const char *section, const char *key, const char *value)
{
    if (!ProfileWriteString(section, key, value, out->file))
        out->failed = true;
}

// A captured value and its type: the text whole, however long, its blanks and
// quotation marks kept (ThemeValueText); its type
// beside it when it is not REG_SZ ("none" for a value that was not there, in
// the groups whose values are put back exactly, type and absence included).
static void WriteCapturedValue(ThemeWriter *out, const char *section, const char *key, const std::string &text, unsigned type)
{
    WriteThemeValue(out, section, key, ThemeValueText(text).c_str());
    if (const char *typeText = ThemeTypeText(type))
        WriteThemeValue(out, section, ThemeTypeKey(key).c_str(), typeText);
}

// A value with its type, for the groups that are put back exactly: a text as
// it is, a number or bytes as their text. A value of a type that these
// settings never hold, or a REG_DWORD of another size than four, is kept as
// its bytes in a REG_BINARY.
static long ReadTypedValue(PlatKey key, const char *name, std::string *text, unsigned *type)
{
    long rc = ReadRegistryText(key, name, text, type);
    if (rc != kErrorUnsupportedType)
        return rc;
    std::string bytes;
    rc = ReadRegistryValue(key, name, &bytes, type);
    if (*type != kRegDword || bytes.size() != 4)
        *type = kRegBinary;
    *text = rc == kErrorSuccess ? ThemeDataText(*type, bytes) : "";
    return rc;
}

// Copies named values of one key into the theme file's section. A null name
// is the key's default value, written under "DefaultValue". A value that
// cannot be read is written empty; with typed, a missing one is recorded as
// none, and one of any type keeps it.
static void CaptureValues(ThemeWriter *out, RegRoot root, const char *keyPath, const char *section, const char *const *names,
                          int count, bool typed)
{
    PlatKey key = nullptr;
    RegistryOpen(root, keyPath, kKeyQueryValue, &key);
    for (int i = 0; i < count; i++) {
        std::string text;
        unsigned type = kRegSz;
        long rc = !key ? kErrorFileNotFound
                  : typed ? ReadTypedValue(key, names[i], &text, &type)
                          : ReadRegistryText(key, names[i], &text, &type);
        if (rc != kErrorSuccess)
            type = typed && rc == kErrorFileNotFound ? kThemeNoValue : kRegSz;
        WriteCapturedValue(out, section, names[i] ? names[i] : "DefaultValue", text, typed ? type : kRegSz);
    }
    if (key)
        RegistryClose(key);
}

void CaptureWindowColors(ThemeWriter *out)
{
    CaptureValues(out, kRegCurrentUser, "Control Panel\\Colors", "Control Panel\\Colors", kColorKeys, kColorCount, false);
}

void CaptureLook(ThemeWriter *out)
{
    for (const LookValue &v : kLookValues)
        CaptureValues(out, kRegCurrentUser, v.key, v.key, &v.name, 1, true);
}

// The metrics as the system reports them. Every number takes at most four
// characters, so 340 of them fit 1,360 characters and the zero.
static void CaptureMetrics(ThemeWriter *out)
{
    static char text[340 * 4 + 1];
    IconMetricsRecord icon = {};
    NonclientMetricsRecord nonclient = {};
    icon.cbSize = sizeof icon;
    nonclient.cbSize = sizeof nonclient;
    SystemParameters(kSpiGetIconMetrics, sizeof icon, &icon, 0);
    SystemParameters(kSpiGetNonclientMetrics, sizeof nonclient, &nonclient, 0);
    text[0] = 0;
    FormatIconMetrics(&icon, text);
    WriteThemeValue(out, "Metrics", "IconMetrics", text);
    text[0] = 0;
    FormatNonclientMetrics(&nonclient, text);
    WriteThemeValue(out, "Metrics", "NonclientMetrics", text);
}

void CaptureDesktop(ThemeWriter *out)
{
    CaptureValues(out, kRegCurrentUser, "Control Panel\\Desktop", "Control Panel\\Desktop", kDesktopKeys, 5, false);
}

// The icons as the user sees them: the user's own value where there is one,
// with its type, otherwise the machine's, recorded as none of the user's own
// (installing the file then removes the user's value, and the machine's shows
// again).
static void CaptureIcon(ThemeWriter *out, const char *section, const char *name)
{
    PlatKey own = nullptr, machine = nullptr;
    std::string text;
    unsigned type = kThemeNoValue;
    if (RegistryOpen(kRegCurrentUser, UserIconKey(section).c_str(), kKeyQueryValue, &own) == kErrorSuccess) {
        if (ReadRegistryText(own, name, &text, &type) != kErrorSuccess)
            type = kThemeNoValue;
        RegistryClose(own);
    }
    if (type == kThemeNoValue && RegistryOpen(kRegClassesRoot, section, kKeyQueryValue, &machine) == kErrorSuccess) {
        unsigned machineType;
        ReadRegistryText(machine, name, &text, &machineType);
        RegistryClose(machine);
    }
    WriteCapturedValue(out, section, name ? name : "DefaultValue", text, type);
}

void CaptureDesktopIcons(ThemeWriter *out)
{
    CaptureIcon(out, kMyComputerIcon, nullptr);
    CaptureIcon(out, kNetworkIcon, nullptr);
    for (const char *name : {"full", "empty", (const char *)nullptr})
        CaptureIcon(out, kRecycleBinIcon, name);

    PlatKey key = nullptr;
    std::string value;
    unsigned type;
    if (RegistryOpen(kRegCurrentUser, "Control Panel\\Desktop\\WindowMetrics", kKeyQueryValue, &key) == kErrorSuccess) {
        ReadRegistryText(key, "Shell Icon BPP", &value, &type);
        RegistryClose(key);
    }
    WriteThemeValue(out, "MasterThemeSelector", "ThemeColorBPP", value.c_str());
}

void CaptureCursors(ThemeWriter *out)
{
    static const char *names[16];
    for (int i = 0; i < 14; i++)
        names[i] = kCursorKeys[i];
    names[14] = nullptr;  // the key's default value, the scheme's name
    names[15] = kCursorSchemeSource;  // where that scheme is kept (a REG_DWORD)
    CaptureValues(out, kRegCurrentUser, "Control Panel\\Cursors", "Control Panel\\Cursors", names, 16, true);
}

void CaptureSoundEvent(ThemeWriter *out, const char *keyPath)
{
    static const char *const defaultOnly[1] = {nullptr};
    CaptureValues(out, kRegCurrentUser, keyPath, keyPath, defaultOnly, 1, true);
}

void CaptureSounds(ThemeWriter *out)
{
    char keyPath[kPathSize];
    for (int i = 0; i < 21; i++)
        if (SoundEventKey(i, keyPath, sizeof keyPath))
            CaptureSoundEvent(out, keyPath);
    CaptureSoundEvent(out, kSoundSchemes);  // the scheme's name, the key's default value
}

// The capture sequence, the same for both files; a new file's sections stand
// in this order. False when any value could not be written.
bool CaptureAllSettings(const char *themeFile)
{
    ThemeWriter out = {themeFile, false};
    CaptureWindowColors(&out);
    CaptureMetrics(&out);
    CaptureDesktop(&out);
    CaptureLook(&out);
    CaptureDesktopIcons(&out);
    CaptureCursors(&out);
    CaptureSounds(&out);
    WriteThemeValue(&out, "boot", "SCRNSAVE.EXE", ReadThemeValue("boot", "SCRNSAVE.EXE", "", "system.ini").c_str());
    return !out.failed;
}
