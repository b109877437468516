// The About box: the title picture at its natural size grown with the box's
// dpi, drawn through the program's palette, with OK in the bottom-right
// corner; laid out again when the box moves to a monitor of another scaling.
#include "app/winshared.h"

#include <string.h>

#include "base/bounded.h"
#include "palette/palette.h"

constexpr int kHeaderAndTable = 40 + 256 * 4;  // the pixel rows follow the 256-entry colour table

// While the dialog is open: the header used for drawing (its colour counts
// set), the pixel rows in the resource, and the platform palette.
static struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
} AboutHeader;
static const BYTE *AboutPixels;
static HPALETTE AboutPalette;
// What the box was made with, and what a change of dpi makes.
static struct {
    int dpi;        // the box's when it was made
    SIZE button;    // OK's size then
    LOGFONTA font;  // and its font
} AboutMade;
static HFONT AboutFont;  // OK's font after a change of dpi; none before

// The box's layout at dpi: its client area the picture grown with the dpi
// (pixel for pixel at 96 dots an inch), OK at the size and in the font the
// dialog gave it, grown from the dpi the box was made at, a margin from the
// bottom-right corner. The window's top-left corner goes to (left, top), or
// stays where it is when move is false.
static void LayOutAboutBox(HWND dialog, int dpi, bool move, int left, int top)
{
    const int width = DpiScale(AboutHeader.header.biWidth, 96, dpi);
    const int height = DpiScale(AboutHeader.header.biHeight, 96, dpi);
    if (move)
        SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    WindowSizeClient((PlatWindow)dialog, width, height, dpi);

    HWND ok = GetDlgItem(dialog, IDOK);
    if (dpi != AboutMade.dpi || AboutFont) {  // back at the first dpi too, the font at it
        LOGFONTA font = AboutMade.font;
        font.lfHeight = DpiScale(font.lfHeight, AboutMade.dpi, dpi);
        font.lfWidth = DpiScale(font.lfWidth, AboutMade.dpi, dpi);
        HFONT made = CreateFontIndirectA(&font);
        if (made) {
            SendMessageA(ok, WM_SETFONT, (WPARAM)made, TRUE);
            DeleteObject(AboutFont);
            AboutFont = made;
        }
    }
    RECT client;
    GetClientRect(dialog, &client);
    int okWidth = DpiScale(AboutMade.button.cx, AboutMade.dpi, dpi);
    int okHeight = DpiScale(AboutMade.button.cy, AboutMade.dpi, dpi);
    int margin = DpiScale(10, 96, dpi);
    SetWindowPos(ok, nullptr, client.right - okWidth - margin, client.bottom - okHeight - margin, okWidth, okHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void KeepDialogManagerFromRelayout(HWND dialog)
{
    typedef BOOL(WINAPI * SetBehavior)(HWND, int, int);
    const int kDisableAll = 1;  // DDC_DISABLE_ALL
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    SetBehavior set = user32 ? (SetBehavior)(void *)GetProcAddress(user32, "SetDialogDpiChangeBehavior") : nullptr;
    if (set)
        set(dialog, kDisableAll, kDisableAll);
}

static void SetUpAboutBox(HWND dialog)
{
    HRSRC found = FindResourceA((HINSTANCE)AppInstance, "AboutBox", (LPCSTR)RT_BITMAP);
    const BYTE *bitmap = (const BYTE *)LockResource(LoadResource((HINSTANCE)AppInstance, found));
    memcpy(&AboutHeader, bitmap, kHeaderAndTable);  // the resource itself is read-only
    AboutHeader.header.biClrUsed = 256;
    AboutHeader.header.biClrImportant = 192;
    AboutPixels = bitmap + kHeaderAndTable;

    char path[kPathSize];
    if (!JoinPath(path, sizeof path, ProgramDir, "\\WALLART\\PALALL9.TR"))
        path[0] = 0;  // the installer refuses such a folder; the palette's check reports it
    AboutPalette = CreatePalette((const LOGPALETTE *)LoadPalette(path));

    KeepDialogManagerFromRelayout(dialog);
    HWND ok = GetDlgItem(dialog, IDOK);
    RECT button;
    GetWindowRect(ok, &button);
    AboutMade.dpi = WindowDpi((PlatWindow)dialog);
    AboutMade.button = SIZE{button.right - button.left, button.bottom - button.top};
    AboutMade.font = LOGFONTA{};
    HGDIOBJ font = (HGDIOBJ)SendMessageA(ok, WM_GETFONT, 0, 0);
    if (!font)
        font = (HGDIOBJ)SendMessageA(dialog, WM_GETFONT, 0, 0);
    if (!font || !GetObjectA(font, sizeof AboutMade.font, &AboutMade.font))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof AboutMade.font, &AboutMade.font);
    LayOutAboutBox(dialog, AboutMade.dpi, false, 0, 0);
}

static void DrawAboutPicture(HDC dc, HWND dialog)
{
    SelectPalette(dc, AboutPalette, FALSE);
    RealizePalette(dc);
    RECT client;
    GetClientRect(dialog, &client);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, AboutHeader.header.biWidth,
                  AboutHeader.header.biHeight, AboutPixels, (const BITMAPINFO *)&AboutHeader, DIB_RGB_COLORS, SRCCOPY);
}

static INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetUpAboutBox(dialog);
        return TRUE;
    case WM_ERASEBKGND:
        DrawAboutPicture((HDC)wParam, dialog);
        return TRUE;
    case kWmDpiChanged: {
        // Moved to a monitor of another scaling: laid out at its dpi, where
        // the system suggests.
        PixelRect suggested = DpiChangedRect(lParam);
        LayOutAboutBox(dialog, DpiChangedDpi(wParam), true, suggested.left, suggested.top);
        InvalidateRect(dialog, nullptr, TRUE);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DeleteObject(AboutPalette);
            EndDialog(dialog, 1);
        }
        return TRUE;
    default:
        return FALSE;
    }
}

void RunAboutBox(PlatWindow main)
{
    DialogBoxParamA((HINSTANCE)AppInstance, "AboutBox", (HWND)main, AboutDlgProc, 0);
    DeleteObject(AboutFont);  // the button that showed it is gone with the box
    AboutFont = nullptr;
}
