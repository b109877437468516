// The theme catalogue: the file and the colour word of each theme.
#include "theme/catalogue.h"

const char *CatalogueFile(int themeId)
{
    switch (themeId) {
    case kThemeBlack: return "\\Zorva The Vandrel BLACK.theme";
    case kThemeRed: return "\\Zorva The Vandrel RED.theme";
    case kThemeWhite: return "\\Zorva The Vandrel WHITE.theme";
    case kThemeBlue: return "\\Zorva The Vandrel BLUE.theme";
    case kThemeGreen: return "\\Zorva The Vandrel GREEN.theme";
    case kThemeBackup: return "\\ZorvaBackup.theme";
    case kThemeSnapshot: return "\\Restore.theme";
    default: return nullptr;
    }
}

const char *CatalogueColorWord(int themeId)
{
    switch (themeId) {
    case kThemeBlack: return "BLACK";
    case kThemeRed: return "RED";
    case kThemeBlue: return "BLUE";
    case kThemeGreen: return "GREEN";
    default: return "WHITE";
    }
}
