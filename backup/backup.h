// Settings backup: the user's current settings captured into theme files that
// the installer can apply again.
#pragma once

// At start-up: writes the backup "\ZorvaBackup.theme" in this user's folder
// UserDataDir if it is not there, then this run's snapshot "\Restore.theme"
// with the saved copy of the wallpaper bitmap. Each file is whole or not there:
// it is written under a name of this run's own (MakePartialFile), checked
// (SavedThemeWhole), flushed to the disk and only then renamed; when it cannot
// be completed (a full disk) the partial file is deleted and the "Out of room
// on drive" error report ends the program, so the next start tries again. The
// files are UTF-16, so that every path in them keeps its letters.
void WriteStartupThemes();
// Whether this user has a backup of their own to revert to (whole or not).
bool UserHasBackup();
// Whether a saved theme file (the backup, a run's snapshot) is whole, as the
// capture writes it: UTF-16 after its byte-order mark, of sections and keys
// alone, holding every key that the capture writes, and ending with the
// capture's last line, the screen saver's. A damaged one is never installed.
bool SavedThemeWhole(const char *path);
void WriteBackupTheme();
void WriteRestoreTheme();

// The theme file that a capture writes, and whether a write into it failed
// (the file is then incomplete).
struct ThemeWriter {
    const char *file;
    bool failed;
};

// The whole capture sequence into themeFile: colours, metrics, desktop, the
// look, desktop icons, cursors, sounds, screen saver. False when a profile write
// reported failure.
bool CaptureAllSettings(const char *themeFile);
// Each capture writes one group of settings.
void CaptureWindowColors(ThemeWriter *out);
// The look (light or dark and the accent), each value with its type, none
// where missing.
void CaptureLook(ThemeWriter *out);
void CaptureDesktop(ThemeWriter *out);
void CaptureDesktopIcons(ThemeWriter *out);
void CaptureCursors(ThemeWriter *out);
void CaptureSounds(ThemeWriter *out);
void CaptureSoundEvent(ThemeWriter *out, const char *keyPath);
