// The backup theme, the run's snapshot and the saved copy of the wallpaper
// bitmap, all of them this user's, in UserDataDir.
#include "backup/backup.h"

#include "base/apperror.h"
#include "base/bounded.h"
#include "base/filebytes.h"
#include "platform/unicode.h"
#include "theme/catalogue.h"

#include <ctype.h>
#include <string.h>

#include <string>

static const char kOutOfRoom[] =
    "Out of room on drive %c: for backup file\nPlease free some space and rerun the ZtV Theme Switcher\n";

// The byte-order mark that makes the profile functions keep a file in UTF-16,
// so that the captured paths keep every letter.
static const char kUtf16Mark[] = "\xFF\xFE";

// Whether the file ends with the line of the capture's last write, the screen
// saver, which stands last in a new file. Not every profile writer reports a
// rewrite that the disk cut short (Wine's does not), so the file itself is
// looked at: a cut file lacks its end.
static bool EndsWithLastCapture(const char *path)
{
    std::string bytes;
    if (!ReadFileBytes(path, &bytes) || bytes.size() % 2 != 0 || bytes.compare(0, 2, kUtf16Mark) != 0)
        return false;
    std::u16string units;
    for (size_t i = 2; i < bytes.size(); i += 2)
        units.push_back((char16_t)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8));
    std::string text;
    if (!Utf16ToUtf8(units.data(), units.size(), &text) || text.empty() || text.back() != '\n')
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

// Runs the capture sequence into UserDataDir + name through a partial file beside
// it, which takes the name only once every value is written. A
// partial theme file must never stand as the user's backup: a Revert would
// install its missing sounds, cursors and icons as none. With replace, an
// older file of that name goes (the snapshot of a run that was not closed);
// without, one that is there after all is kept (its first open failed for
// another reason than its absence) and the new capture is dropped.
static void CaptureThemeFile(const char *name, const char *partialName, bool replace)
{
    // Start-up made sure that every file name fits beside UserDataDir.
    char whole[kPathSize], partial[kPathSize];
    AppAssert(JoinPath(whole, sizeof whole, UserDataDir, name) && JoinPath(partial, sizeof partial, UserDataDir, partialName),
              nullptr, 0, "The folder %s cannot hold the backup files", UserDataDir);

    // What a run ended half-way left would keep its keys and their order.
    FileDelete(partial);
    PlatFile *left = FileOpen(partial, "rb");
    if (left)
        FileClose(left);
    // A new file holding only the mark: the profile writes keep it UTF-16.
    PlatFile *start = left ? nullptr : FileOpen(partial, "wb");
    bool marked = start && FileWrite(kUtf16Mark, 2, start) == 2;
    marked = start && FileClose(start) == 0 && marked;
    bool complete = marked && CaptureAllSettings(partial) && EndsWithLastCapture(partial);
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
}

void WriteBackupTheme()
{
    CaptureThemeFile("\\ZorvaBackup.theme", "\\ZorvaBackup.new", false);
}

// Copies the wallpaper bitmap to its saved copy. A copy that cannot be made
// is skipped: the snapshot is complete without it and Cancel then keeps the
// bitmap as it is. A disk that fills up during the copy is fatal.
static void SaveWallpaperCopy()
{
    char bitmap[kPathSize], copy[kPathSize];
    if (!JoinPath(bitmap, sizeof bitmap, UserDataDir, kWallpaperBitmapName) ||
        !JoinPath(copy, sizeof copy, UserDataDir, kWallpaperCopyName))
        return;
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

void WriteRestoreTheme()
{
    CaptureThemeFile("\\Restore.theme", "\\Restore.new", true);
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
