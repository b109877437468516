// The About box: the title picture at its natural size, drawn through the
// program's palette, with OK in the bottom-right corner.
#include "app/winmain.h"

#include <string.h>

#include "app/appglobals.h"
#include "base/bounded.h"
#include "app/mainlogic.h"
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

void RunAboutBox(PlatWindow main)
{
    DialogBoxParamA((HINSTANCE)AppInstance, "AboutBox", (HWND)main, AboutDlgProc, 0);
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

    // The picture at the box's dpi, grown with it as the box's font and
    // button are (pixel for pixel at 96 dots an inch).
    int dpi = WindowDpi((PlatWindow)dialog);
    RECT r = {0, 0, MulDiv(AboutHeader.header.biWidth, dpi, 96), MulDiv(AboutHeader.header.biHeight, dpi, 96)};
    AdjustWindowRect(&r, GetWindowLongA(dialog, GWL_STYLE), FALSE);
    SetWindowPos(dialog, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);

    RECT client, button;
    HWND ok = GetDlgItem(dialog, IDOK);
    GetClientRect(dialog, &client);
    GetWindowRect(ok, &button);
    int width = button.right - button.left, height = button.bottom - button.top, margin = MulDiv(10, dpi, 96);
    SetWindowPos(ok, nullptr, client.right - width - margin, client.bottom - height - margin, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
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

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetUpAboutBox(dialog);
        return TRUE;
    case WM_ERASEBKGND:
        DrawAboutPicture((HDC)wParam, dialog);
        return TRUE;
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
