// The backup theme, the run's snapshot and the saved copy of the wallpaper
// bitmap.
#include "backup/backup.h"

#include "base/apperror.h"
#include "base/bounded.h"
#include "theme/catalogue.h"

#include <ctype.h>
#include <string.h>

#include <string>

static const char kOutOfRoom[] =
    "Out of room on drive %c: for backup file\nPlease free some space and rerun the ZtV Theme Switcher\n";

// Whether the file ends with the line of the capture's last write, the screen
// saver, which stands last in a new file. Not every profile writer reports a
// rewrite that the disk cut short (Wine's does not), so the file itself is
// looked at: a cut file lacks its end.
static bool EndsWithLastCapture(const char *path)
{
    PlatFile *f = FileOpen(path, "rb");
    if (!f)
        return false;
    std::string text;
    char chunk[4096];
    size_t got;
    while ((got = FileRead(chunk, sizeof chunk, f)) > 0)
        text.append(chunk, got);
    FileClose(f);
    if (text.empty() || text.back() != '\n')
        return false;
    size_t start = text.find_last_of('\n', text.size() - 2);
    start = start == std::string::npos ? 0 : start + 1;
    static const char kLast[] = "SCRNSAVE.EXE=";
    if (text.size() - start < sizeof kLast - 1)
        return false;
    for (size_t i = 0; i + 1 < sizeof kLast; i++)
        if (toupper((unsigned char)text[start + i]) != kLast[i])
            return false;
    return true;
}

// Runs the capture sequence into ThemeDir + name through a partial file beside
// it, which takes the name only once every value is written. A
// partial theme file must never stand as the user's backup: a Revert would
// install its missing sounds, cursors and icons as none. With replace, an
// older file of that name goes (the snapshot of a run that was not closed);
// without, one that is there after all is kept (its first open failed for
// another reason than its absence) and the new capture is dropped.
static void CaptureThemeFile(const char *name, const char *partialName, bool replace)
{
    char whole[kPathSize], partial[kPathSize];
    ProgramFolder(ThemeDir, sizeof ThemeDir);
    CopyText(whole, sizeof whole, ThemeDir);
    AppendText(whole, sizeof whole, name);
    CopyText(partial, sizeof partial, ThemeDir);
    AppendText(partial, sizeof partial, partialName);

    // What a run ended half-way left would keep its keys and their order.
    FileDelete(partial);
    PlatFile *left = FileOpen(partial, "rb");
    if (left)
        FileClose(left);
    CopyText(ThemeFile, sizeof ThemeFile, partial);
    bool complete = !left && CaptureAllSettings() && EndsWithLastCapture(partial);
    bool placed = false;
    if (complete) {
        if (replace)
            FileDelete(whole);
        placed = FileMove(partial, whole);
        if (!placed && !replace) {
            PlatFile *there = FileOpen(whole, "rb");
            if (there)
                FileClose(there);
            complete = there != nullptr;
        } else {
            complete = placed;
        }
    }
    if (!placed)
        FileDelete(partial);
    AppAssert(complete, nullptr, 0, kOutOfRoom, partial[0]);
    CopyText(ThemeFile, sizeof ThemeFile, whole);
}

int WriteBackupTheme()
{
    CaptureThemeFile("\\ZorvaBackup.theme", "\\ZorvaBackup.new", false);
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
    AppendText(bitmap, sizeof bitmap, kWallpaperBitmapName);
    AppendText(copy, sizeof copy, kWallpaperCopyName);
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
        AppAssert(put == got, nullptr, 0, kOutOfRoom, copy[0]);
    }
    FileClose(out);
    FileClose(in);
}

int WriteRestoreTheme()
{
    CaptureThemeFile("\\Restore.theme", "\\Restore.new", true);
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
