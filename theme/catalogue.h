// The theme catalogue: the themes the program knows and their files.
#pragma once

#include "base/processvalues.h"

#include <string>

// Theme identifiers: the colour buttons' command identifiers, the backup taken
// before the first install, and the snapshot taken at the start of the run.
constexpr int kThemeBlack = 100, kThemeRed = 101, kThemeWhite = 102, kThemeBlue = 103, kThemeGreen = 104;
constexpr int kThemeBackup = 121, kThemeSnapshot = 200;

// The file of a theme identifier, to append to its folder: "\Zorva The Vandrel
// BLACK.theme" and its siblings, "\ZorvaBackup.theme", "\Restore.theme";
// null for any other identifier.
const char *CatalogueFile(int themeId);

// The colour word of a colour theme, which names its art: "BLACK" ... "GREEN";
// "WHITE" for any other identifier.
const char *CatalogueColorWord(int themeId);

// A theme file that an install reads: the file (ThemeFile) and its folder
// (ThemeDir), which the file's paths name as %ThemeDir%.
struct ThemeSource {
    std::string dir;
    std::string file;
};

// The wallpaper bitmap in the Windows folder, and the copy of it saved at the
// start of each run, which the run's Cancel puts back.
constexpr char kWallpaperBitmapName[] = "\\Zorva The Vandrel.BMP";
constexpr char kWallpaperCopyName[] = "\\Zorva The Vandrel.SAV";
