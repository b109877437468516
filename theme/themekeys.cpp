#include "theme/themekeys.h"

#include "base/bounded.h"

#include <ctype.h>

const char *const kColorKeys[kColorCount] = {
    "ActiveTitle", "Background", "Hilight", "HilightText", "TitleText", "Window", "WindowText", "Scrollbar",
    "InactiveTitle", "Menu", "WindowFrame", "MenuText", "ActiveBorder", "InactiveBorder", "AppWorkspace",
    "ButtonFace", "ButtonShadow", "GrayText", "ButtonText", "InactiveTitleText", "ButtonHilight",
    "ButtonDkShadow", "ButtonLight", "InfoText", "InfoWindow"};
const int kColorElements[kColorCount] = {2,  1,  13, 14, 9,  5,  8,  0,  3,  4,  6,  7, 10,
                                         11, 12, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};

const char *const kDesktopKeys[5] = {"ScreenSaveActive", "TileWallpaper", "WallpaperStyle", "Pattern", "Wallpaper"};

const char *const kCursorKeys[14] = {"Arrow", "Help",    "AppStarting", "Crosshair", "IBeam",    "No",      "NWPen",
                                     "SizeAll", "SizeNESW", "SizeNS",   "SizeWE",    "SizeNWSE", "UpArrow", "Wait"};

const char *const kSoundEvents[20] = {
    ".Default",  "AppGPFault",    "MenuCommand",       "MenuPopup",  "Minimize",   "Maximize",      "Open",
    "Close",     "RestoreDown",   "RestoreUp",         "RingIn",     "RingOut",    "SystemAsterisk", "SystemDefault",
    "SystemExclamation", "SystemExit", "SystemHand", "SystemQuestion", "SystemStart", "MailBeep"};
const char kEmptyBinSoundKey[] = "AppEvents\\Schemes\\Apps\\Explorer\\EmptyRecycleBin\\.Current";

bool SoundEventKey(int i, char *out, size_t size)
{
    if (i >= 20)
        return CopyText(out, size, kEmptyBinSoundKey);
    return CopyText(out, size, "AppEvents\\Schemes\\Apps\\.Default\\") && AppendText(out, size, kSoundEvents[i]) &&
           AppendText(out, size, "\\.Current");
}

const char kMyComputerIcon[] = "CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon";
const char kNetworkIcon[] = "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon";
const char kCursorSchemeSource[] = "Scheme Source";
const char kSoundSchemes[] = "AppEvents\\Schemes";
const char kRecycleBinIcon[] = "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";

std::string UserIconKey(const char *machineKey)
{
    return std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + machineKey;
}

const char *ScanDecimal(const char *p, uint32_t *value)
{
    while (*p && isspace((unsigned char)*p))
        p++;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        p++;
    if (!isdigit((unsigned char)*p))
        return nullptr;
    uint32_t v = 0;
    while (isdigit((unsigned char)*p))
        v = v * 10 + (uint32_t)(*p++ - '0');
    *value = negative ? 0u - v : v;
    return p;
}
