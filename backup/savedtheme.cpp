// The check that a saved theme file, the backup or a run's snapshot, is whole
// before it is trusted: written as the capture writes it and holding every
// value the capture writes. Installing a file that lacks a group would empty
// that group of the user's settings (colours, cursors, sounds, icons), so a
// file cut short by a power cut or a full disk, or damaged by hand, is refused
// whole.
#include "backup/backup.h"

#include "base/filebytes.h"
#include "base/bounded.h"
#include "platform/unicode.h"
#include "theme/themekeys.h"
#include "theme/themelook.h"

#include <ctype.h>
#include <string.h>

#include <set>
#include <string>
#include <utility>

// A capture writes some 12 KB; a file far larger than any capture is no
// capture, and is not read whole.
static constexpr long kLargestSavedTheme = 1 << 20;

static std::string Folded(std::string text)
{
    for (char &c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

static std::string Trimmed(const std::string &text)
{
    size_t start = text.find_first_not_of(" \t"), end = text.find_last_not_of(" \t");
    return start == std::string::npos ? "" : text.substr(start, end - start + 1);
}

typedef std::set<std::pair<std::string, std::string>> KeySet;  // section and key, case folded

static void Need(KeySet *keys, const std::string &section, const std::string &key)
{
    keys->insert({Folded(section), Folded(key)});
}

// Every section and key that the capture writes a value to (the type keys
// beside some values are written only for some values, and are not needed).
static KeySet CapturedKeys()
{
    KeySet keys;
    for (const char *name : kColorKeys)
        Need(&keys, "Control Panel\\Colors", name);
    Need(&keys, "Metrics", "IconMetrics");
    Need(&keys, "Metrics", "NonclientMetrics");
    for (const char *name : kDesktopKeys)
        Need(&keys, "Control Panel\\Desktop", name);
    for (const LookValue &v : kLookValues)
        Need(&keys, v.key, v.name);
    Need(&keys, kMyComputerIcon, "DefaultValue");
    Need(&keys, kNetworkIcon, "DefaultValue");
    for (const char *name : {"full", "empty", "DefaultValue"})
        Need(&keys, kRecycleBinIcon, name);
    Need(&keys, "MasterThemeSelector", "ThemeColorBPP");
    for (const char *name : kCursorKeys)
        Need(&keys, "Control Panel\\Cursors", name);
    Need(&keys, "Control Panel\\Cursors", "DefaultValue");
    Need(&keys, "Control Panel\\Cursors", kCursorSchemeSource);
    char keyPath[kPathSize];
    for (int i = 0; i < 21; i++)
        if (SoundEventKey(i, keyPath, sizeof keyPath))
            Need(&keys, keyPath, "DefaultValue");
    Need(&keys, kSoundSchemes, "DefaultValue");
    Need(&keys, "boot", "SCRNSAVE.EXE");
    return keys;
}

// The file's text in UTF-8, from the UTF-16 that the capture writes after its
// byte-order mark; false for any other form, or a file too large to be one.
static bool SavedThemeText(const char *path, std::string *text)
{
    PlatFile *f = FileOpen(path, "rb");
    if (!f)
        return false;
    long length = FileLength(f);
    FileClose(f);
    std::string bytes;
    if (length < 2 || length > kLargestSavedTheme || length % 2 != 0 || !ReadFileBytes(path, &bytes) ||
        bytes.size() != (size_t)length || bytes.compare(0, 2, "\xFF\xFE") != 0)
        return false;
    std::u16string units;
    for (size_t i = 2; i < bytes.size(); i += 2)
        units.push_back((char16_t)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8));
    return Utf16ToUtf8(units.data(), units.size(), text);
}

bool SavedThemeWhole(const char *path)
{
    std::string text;
    if (!SavedThemeText(path, &text) || text.empty() || text.back() != '\n')
        return false;
    KeySet missing = CapturedKeys();
    std::string section, lastKey, lastSection;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        line = Trimmed(line);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            // A section's name in brackets, nothing after them.
            if (line.back() != ']' || line.size() < 3)
                return false;
            section = Folded(line.substr(1, line.size() - 2));
            lastKey.clear();
            continue;
        }
        size_t equals = line.find('=');
        // A line outside any section, or one that is no key and value, is
        // none that the capture writes: the file was damaged.
        if (section.empty() || equals == std::string::npos || equals == 0)
            return false;
        lastKey = Folded(Trimmed(line.substr(0, equals)));
        lastSection = section;
        missing.erase({section, lastKey});
    }
    // The screen saver is the capture's last write, and stands last in the file.
    return missing.empty() && lastSection == "boot" && lastKey == "scrnsave.exe";
}
