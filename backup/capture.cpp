// Captures of the settings groups, in the sections, keys and textual forms in
// which the installer reads them back.
#include "backup/backup.h"

#include "base/bounded.h"
#include "theme/catalogue.h"
#include "theme/metrictext.h"
#include "theme/themekeys.h"

#include <string.h>

#include <initializer_list>

constexpr uint32_t kColorBufferSize = 20;
constexpr uint32_t kValueBufferSize = 261;

// Set by a profile write into ThemeFile that failed since CaptureAllSettings
// began; window's thread only.
static bool ThemeWriteFailed;

static void WriteThemeValue(const char *section, const char *key, const char *value)
{
    if (!ProfileWriteString(section, key, value, ThemeFile))
        ThemeWriteFailed = true;
}

// A registry string as the theme file gets it. A value that is missing, or
// longer than the buffer, is written empty: never the text of the value read
// before it, nor unterminated bytes.
static void QueryForTheme(PlatKey key, const char *name, char *buf, uint32_t size)
{
    uint32_t n = size;
    if (!key || RegistryQuery(key, name, buf, &n) != kErrorSuccess || (n == size && buf[size - 1] != 0)) {
        buf[0] = 0;
        return;
    }
    buf[n < size ? n : size - 1] = 0;
}

// Copies named values of one key into the theme file's section. A null name
// is the key's default value, written under "DefaultValue".
static void CaptureValues(RegRoot root, const char *keyPath, const char *section, const char *const *names,
                          int count, uint32_t bufferSize)
{
    PlatKey key = nullptr;
    RegistryOpen(root, keyPath, kKeyQueryValue, &key);
    char value[kValueBufferSize];
    for (int i = 0; i < count; i++) {
        QueryForTheme(key, names[i], value, bufferSize);
        WriteThemeValue(section, names[i] ? names[i] : "DefaultValue", value);
    }
    if (key)
        RegistryClose(key);
}

int CaptureWindowColors()
{
    CaptureValues(kRegCurrentUser, "Control Panel\\Colors", "Control Panel\\Colors", kColorKeys, kColorCount,
                  kColorBufferSize);
    return 1;
}

// The metrics as the system reports them. Every number takes at most four
// characters, so 340 of them fit 1,360 characters and the zero.
static void CaptureMetrics()
{
    static char text[340 * 4 + 1];
    IconMetricsRecord icon = {};
    icon.cbSize = sizeof icon;
    SystemParameters(kSpiGetIconMetrics, sizeof icon, &icon, 0);
    text[0] = 0;
    FormatIconMetrics(&icon, text);
    WriteThemeValue("Metrics", "IconMetrics", text);

    NonclientMetricsRecord nonclient = {};
    nonclient.cbSize = sizeof nonclient;
    SystemParameters(kSpiGetNonclientMetrics, sizeof nonclient, &nonclient, 0);
    text[0] = 0;
    FormatNonclientMetrics(&nonclient, text);
    WriteThemeValue("Metrics", "NonclientMetrics", text);
}

int CaptureDesktop()
{
    static const char *const names[5] = {"ScreenSaveActive", "TileWallpaper", "WallpaperStyle", "Pattern",
                                         "Wallpaper"};
    CaptureValues(kRegCurrentUser, "Control Panel\\Desktop", "Control Panel\\Desktop", names, 5, kValueBufferSize);
    return 1;
}

int CaptureDesktopIcons()
{
    static const char *const defaultOnly[1] = {nullptr};
    static const char *const bin[3] = {"full", "empty", nullptr};
    CaptureValues(kRegClassesRoot, kMyComputerIcon, kMyComputerIcon, defaultOnly, 1, kValueBufferSize);
    CaptureValues(kRegClassesRoot, kNetworkIcon, kNetworkIcon, defaultOnly, 1, kValueBufferSize);
    CaptureValues(kRegClassesRoot, kRecycleBinIcon, kRecycleBinIcon, bin, 3, kValueBufferSize);

    PlatKey key = nullptr;
    RegistryOpen(kRegCurrentUser, "Control Panel\\Desktop\\WindowMetrics", kKeyQueryValue, &key);
    char value[kValueBufferSize];
    QueryForTheme(key, "Shell Icon BPP", value, sizeof value);
    WriteThemeValue("MasterThemeSelector", "ThemeColorBPP", value);
    if (key)
        RegistryClose(key);
    return 1;
}

int CaptureCursors()
{
    static const char *names[15];
    for (int i = 0; i < 14; i++)
        names[i] = kCursorKeys[i];
    names[14] = nullptr;  // the key's default value, the scheme's name
    CaptureValues(kRegCurrentUser, "Control Panel\\Cursors", "Control Panel\\Cursors", names, 15, kValueBufferSize);
    return 1;
}

void CaptureSoundEvent(const char *keyPath)
{
    static const char *const defaultOnly[1] = {nullptr};
    CaptureValues(kRegCurrentUser, keyPath, keyPath, defaultOnly, 1, kValueBufferSize);
}

int CaptureSounds()
{
    char keyPath[kPathSize];
    for (int i = 0; i < 21; i++) {
        SoundEventKey(i, keyPath, sizeof keyPath);
        CaptureSoundEvent(keyPath);
    }
    return 1;
}

// The capture sequence, the same for both files; a new file's sections stand
// in this order. False when any value could not be written.
bool CaptureAllSettings()
{
    ThemeWriteFailed = false;
    CaptureWindowColors();
    CaptureMetrics();
    CaptureDesktop();
    CaptureDesktopIcons();
    CaptureCursors();
    CaptureSounds();
    char saver[kPathSize];
    ProfileGetString("boot", "SCRNSAVE.EXE", "", saver, sizeof saver, "system.ini");
    WriteThemeValue("boot", "SCRNSAVE.EXE", saver);
    return !ThemeWriteFailed;
}
