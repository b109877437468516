// The backup theme, the run's snapshot and the saved copy of the wallpaper
// bitmap.
#include "backup/backup.h"

#include "app/apperror.h"
#include "app/bounded.h"
#include "install/installtheme.h"



static void SetThemeFile(const char *name)
{
    ProgramFolder(ThemeDir, sizeof ThemeDir);
    CopyText(ThemeFile, sizeof ThemeFile, ThemeDir);
    AppendText(ThemeFile, sizeof ThemeFile, name);
}

int WriteBackupTheme()
{
    SetThemeFile("\\ZorvaBackup.theme");
    CaptureAllSettings();
    return 1;
}

// Copies the wallpaper bitmap to its saved copy. A copy that cannot be made
// is skipped: the snapshot is complete without it and Cancel then keeps the
// bitmap as it is. A disk that fills up during the copy is fatal.
static void SaveWallpaperCopy()
{
    char bitmap[260], copy[260];
    WindowsFolder(bitmap, sizeof bitmap);
    CopyText(copy, sizeof copy, bitmap);
    AppendText(bitmap, sizeof bitmap, "\\Zorva the Vandrel.bmp");
    AppendText(copy, sizeof copy, "\\Zorva the Vandrel.sav");
    PlatFile *in = FileOpen(bitmap, "rb");
    if (!in)
        return;
    PlatFile *out = FileOpen(copy, "wb");
    if (!out) {
        FileClose(in);
        return;
    }
    char chunk[4096];
    size_t got;
    while ((got = FileRead(chunk, sizeof chunk, in)) > 0) {
        size_t put = FileWrite(chunk, got, out);
        AppAssert(put == got, nullptr, 0,
                  "Out of room on drive %c: for backup file\nPlease free some space and rerun the ZtV Theme Switcher\n",
                  copy[0]);
    }
    FileClose(out);
    FileClose(in);
}

int WriteRestoreTheme()
{
    SetThemeFile("\\Restore.theme");
    CaptureAllSettings();
    SaveWallpaperCopy();
    return 1;
}

void WriteStartupThemes()
{
    ProgramFolder(ThemeDir, sizeof ThemeDir);
    char backup[kPathSize];
    CopyText(backup, sizeof backup, ThemeDir);
    AppendText(backup, sizeof backup, "\\ZorvaBackup.theme");
    if (PlatFile *f = FileOpen(backup, "rb"))
        FileClose(f);
    else
        WriteBackupTheme();
    WriteRestoreTheme();
}
