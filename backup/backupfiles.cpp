// The backup theme, the run's snapshot and the saved copy of the wallpaper
// bitmap, all of them this user's, in UserDataDir.
#include "backup/backup.h"

#include "base/apperror.h"
#include "base/bounded.h"
#include "base/filebytes.h"
#include "theme/catalogue.h"


static const char kOutOfRoom[] =
    "Out of room on drive %c: for backup file\nPlease free some space and rerun the ZtV Theme Switcher\n";

// The byte-order mark that makes the profile functions keep a file in UTF-16,
// so that the captured paths keep every letter.
static const char kUtf16Mark[] = "\xFF\xFE";

// Runs the capture sequence into UserDataDir + name through a partial file of
// this run's own, which takes the name only once every value is written and
// on the disk, and the file is whole. A partial theme file must never stand as
// the user's backup: a Revert would install its missing sounds, cursors and
// icons as none. With replace, an older file of that name goes (the snapshot
// of a run that was not closed); without, one that is there after all is kept
// (another run's, or one whose first open failed for another reason than its
// absence) and the new capture is dropped.
static void CaptureThemeFile(const char *name, bool replace)
{
    // Start-up made sure that every file name fits beside UserDataDir.
    char whole[kPathSize], partial[kPathSize];
    AppAssert(JoinPath(whole, sizeof whole, UserDataDir, name), nullptr, 0, "The folder %s cannot hold the backup files",
              UserDataDir);
    // A new file holding only the mark: the profile writes keep it UTF-16.
    PlatFile *start = MakePartialFile(UserDataDir, partial, sizeof partial);
    bool marked = start && FileWrite(kUtf16Mark, 2, start) == 2;
    marked = start && FileClose(start) == 0 && marked;
    bool complete = marked && CaptureAllSettings(partial) && SavedThemeWhole(partial);
    if (complete) {
        // Without replace the file is the backup: one there after all stays.
        complete = PlacePartialFile(partial, whole, replace) || (!replace && UserHasBackup());
    } else if (start) {
        FileDelete(partial);
    }
    AppAssert(complete, nullptr, 0, kOutOfRoom, UserDataDir[0]);
}

void WriteBackupTheme()
{
    CaptureThemeFile("\\ZorvaBackup.theme", false);
}

// Copies the wallpaper bitmap to its saved copy, through a partial file put
// in place once whole and on the disk. A copy that cannot be made is skipped:
// the snapshot is complete without it and Cancel then keeps the bitmap as it
// is. A disk that fills up during the copy is fatal.
static void SaveWallpaperCopy()
{
    char bitmap[kPathSize], copy[kPathSize], partial[kPathSize];
    if (!JoinPath(bitmap, sizeof bitmap, UserDataDir, kWallpaperBitmapName) ||
        !JoinPath(copy, sizeof copy, UserDataDir, kWallpaperCopyName))
        return;
    PlatFile *in = FileOpen(bitmap, "rb");
    if (!in)
        return;
    PlatFile *out = MakePartialFile(UserDataDir, partial, sizeof partial);
    if (!out) {
        FileClose(in);
        return;
    }
    char chunk[4096];
    size_t got;
    bool whole = true;
    while (whole && (got = FileRead(chunk, sizeof chunk, in)) > 0)
        whole = FileWrite(chunk, got, out) == got;
    whole = FileClose(out) == 0 && whole;
    FileClose(in);
    if (!whole)
        FileDelete(partial);
    AppAssert(whole, nullptr, 0, kOutOfRoom, copy[0]);
    // A copy that cannot take its name leaves none: Cancel keeps the bitmap.
    PlacePartialFile(partial, copy, true);
}

void WriteRestoreTheme()
{
    CaptureThemeFile("\\Restore.theme", true);
    SaveWallpaperCopy();
}

bool UserHasBackup()
{
    char backup[kPathSize];
    PlatFile *f = JoinPath(backup, sizeof backup, UserDataDir, "\\ZorvaBackup.theme") ? FileOpen(backup, "rb") : nullptr;
    if (f)
        FileClose(f);
    return f != nullptr;
}

void WriteStartupThemes()
{
    if (!UserHasBackup())
        WriteBackupTheme();
    WriteRestoreTheme();
}
