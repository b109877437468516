// The screen saver's entry point and its one window: full screen over the
// whole desktop, or a preview child of a window of the display settings.
#include <windows.h>
#include <windowsx.h>

#include <stdlib.h>

#include "base/processvalues.h"
#include "saver/motion.h"
#include "saver/saverargs.h"
#include "saver/saverart.h"

static const char kSaverClass[] = "ZORVATHEME_SaverClass";
static const char kBoxCaption[] = "Desktop Quennel screen saver";
static const char kNothingToSetUp[] =
    "There is nothing to set up here.\n\n"
    "The screen saver drifts slowly across the art of the Zorva color you installed last.";

constexpr UINT kFrameTimer = 1;
constexpr UINT kFrameMs = 33;      // about 30 frames a second; a frame is drawn only when the view moved
constexpr int kMoveThreshold = 4;  // pixels the mouse may stray from where it was before the saver ends

// Set by WinMain from the command line before any window exists; read by the
// window procedure.
static SaverMode Mode;
static HWND PreviewParent;         // preview only: the window drawn into
static POINT StartCursor;          // full screen only: the mouse, in screen coordinates, at the start
static DWORD StartTick;            // GetTickCount when the drift began

// The view, made by ViewCreate and released by ViewDelete on the window's
// thread: the picture in a bitmap of the screen's format, selected into
// ViewDC, and the part of it that the window shows. On a screen of 8 bits
// the picture's palette is selected into ViewDC too and realised wherever the
// view is drawn, and the picture's rows are kept to fill the bitmap again
// when the screen's palette changes under it.
static HDC ViewDC;
static HBITMAP ViewBitmap;
static HGDIOBJ ViewOldBitmap;
static HPALETTE ViewPalette;             // null on screens without a palette
static HPALETTE ViewOldPalette;
static SaverPicture ViewPicture;         // rows kept while ViewPalette exists
static int ViewWidth, ViewHeight;        // the window's client size
static int PictureWidth, PictureHeight;  // the picture's, a little larger
static int OriginX, OriginY;             // where the window's top left lies in the picture

// Selects the view's palette into dc and realises it: in the foreground when
// the window is the active one, else mapped onto the screen's palette as it
// is. Returns the palette dc had, for ViewUnselect, and in changed how many
// entries of the screen's palette the realising changed.
static HPALETTE ViewSelectPalette(HDC dc, UINT *changed)
{
    HPALETTE old = SelectPalette(dc, ViewPalette, FALSE);
    UINT realised = RealizePalette(dc);
    if (changed)
        *changed = realised == GDI_ERROR ? 0 : realised;
    return old;
}

// The picture's rows into the bitmap, each colour mapped through the view's
// palette as the screen's palette now realises it.
static void ViewFill()
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ViewPicture.width;
    info.bmiHeader.biHeight = -ViewPicture.height;  // row 0 at the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    if (ViewPalette)
        RealizePalette(ViewDC);
    SetDIBitsToDevice(ViewDC, 0, 0, ViewPicture.width, ViewPicture.height, 0, 0, 0, ViewPicture.height,
                      ViewPicture.pixels, &info, DIB_RGB_COLORS);
}

static void ViewCreate(HWND window, int width, int height)
{
    ViewWidth = width;
    ViewHeight = height;
    SaverPictureSize(width, height, &PictureWidth, &PictureHeight);
    char word[kArtWordSize];
    SaverArtWord(word);

    HDC dc = GetDC(window);
    const bool paletteScreen = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
    ViewPicture = MakeSaverPicture(word, PictureWidth, PictureHeight, paletteScreen ? 8 : 24);
    ViewDC = CreateCompatibleDC(dc);
    ViewBitmap = ViewPicture.pixels ? CreateCompatibleBitmap(dc, ViewPicture.width, ViewPicture.height) : nullptr;
    if (ViewBitmap && ViewPicture.palette.palNumEntries)
        ViewPalette = CreatePalette((const LOGPALETTE *)&ViewPicture.palette);
    if (ViewPalette) {
        // The screen's palette first, so that the bitmap gets its colours.
        HPALETTE old = ViewSelectPalette(dc, nullptr);
        SelectPalette(dc, old, FALSE);
        ViewOldPalette = SelectPalette(ViewDC, ViewPalette, FALSE);
    }
    ReleaseDC(window, dc);
    if (ViewBitmap) {
        ViewOldBitmap = SelectObject(ViewDC, ViewBitmap);
        ViewFill();
    }
    if (!ViewPalette)
        FreeSaverPicture(&ViewPicture);
    SaverViewOrigin(GetTickCount() - StartTick, PictureWidth - ViewWidth, PictureHeight - ViewHeight, &OriginX,
                    &OriginY);
}

static void ViewDelete()
{
    if (ViewBitmap) {
        SelectObject(ViewDC, ViewOldBitmap);
        DeleteObject(ViewBitmap);
    }
    if (ViewPalette) {
        SelectPalette(ViewDC, ViewOldPalette, FALSE);
        DeleteObject(ViewPalette);
    }
    if (ViewDC)
        DeleteDC(ViewDC);
    FreeSaverPicture(&ViewPicture);
    ViewDC = nullptr;
    ViewBitmap = nullptr;
    ViewPalette = nullptr;
}

static void ViewPaint(HDC dc)
{
    HPALETTE old = ViewPalette ? ViewSelectPalette(dc, nullptr) : nullptr;
    if (ViewBitmap)
        BitBlt(dc, 0, 0, ViewWidth, ViewHeight, ViewDC, OriginX, OriginY, SRCCOPY);
    else
        PatBlt(dc, 0, 0, ViewWidth, ViewHeight, BLACKNESS);
    if (ViewPalette)
        SelectPalette(dc, old, FALSE);
}

// The window is about to be active, or another window realised its palette:
// realises the view's palette and, when that changed the screen's palette,
// fills the bitmap again and repaints. True when the view has a palette.
static BOOL ViewRealize(HWND window)
{
    if (!ViewPalette)
        return FALSE;
    HDC dc = GetDC(window);
    UINT changed;
    HPALETTE old = ViewSelectPalette(dc, &changed);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(window, dc);
    if (changed) {
        ViewFill();
        InvalidateRect(window, nullptr, FALSE);
    }
    return TRUE;
}

static void SaverPaint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    ViewPaint(dc);
    EndPaint(window, &ps);
}

// A preview follows its parent's client area and ends with the parent.
static bool PreviewFollowParent(HWND window)
{
    if (!IsWindow(PreviewParent)) {
        DestroyWindow(window);
        return false;
    }
    RECT client;
    GetClientRect(PreviewParent, &client);
    if (client.right != ViewWidth || client.bottom != ViewHeight) {
        MoveWindow(window, 0, 0, client.right, client.bottom, TRUE);
        ViewDelete();
        ViewCreate(window, client.right > 0 ? client.right : 1, client.bottom > 0 ? client.bottom : 1);
    }
    return true;
}

static void SaverTick(HWND window)
{
    if (Mode == kSaverPreview && !PreviewFollowParent(window))
        return;
    int x, y;
    SaverViewOrigin(GetTickCount() - StartTick, PictureWidth - ViewWidth, PictureHeight - ViewHeight, &x, &y);
    if (x == OriginX && y == OriginY)
        return;
    OriginX = x;
    OriginY = y;
    HDC dc = GetDC(window);
    ViewPaint(dc);
    ReleaseDC(window, dc);
}

// Full screen: the saver ends on any key, mouse button, or a mouse that moved
// away from where it was.
static void SaverEnd(HWND window)
{
    if (Mode == kSaverFullScreen)
        DestroyWindow(window);
}

static void SaverMouseMove(HWND window, LPARAM lParam)
{
    POINT at = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(window, &at);
    if (abs(at.x - StartCursor.x) > kMoveThreshold || abs(at.y - StartCursor.y) > kMoveThreshold)
        SaverEnd(window);
}

static LRESULT CALLBACK SaverWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: SaverPaint(window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER: SaverTick(window); return 0;
    case WM_MOUSEMOVE: SaverMouseMove(window, lParam); return 0;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: SaverEnd(window); return 0;
    case WM_LBUTTONDOWN: case WM_MBUTTONDOWN: case WM_RBUTTONDOWN: case WM_XBUTTONDOWN: SaverEnd(window); return 0;
    case WM_ACTIVATEAPP: if (!wParam) SaverEnd(window); return 0;
    case WM_QUERYNEWPALETTE: return ViewRealize(window);
    case WM_PALETTECHANGED: if ((HWND)wParam != window) ViewRealize(window); return 0;
    case WM_SETCURSOR:
        if (Mode != kSaverFullScreen)
            break;
        SetCursor(nullptr);
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_SCREENSAVE)
            return 0;  // already running
        break;
    case WM_DESTROY: KillTimer(window, kFrameTimer); ViewDelete(); PostQuitMessage(0); return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static bool RegisterSaverClass(HINSTANCE instance)
{
    WNDCLASSA saver = {};
    saver.lpfnWndProc = SaverWndProc;
    saver.hInstance = instance;
    saver.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(100));
    saver.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    saver.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    saver.lpszClassName = kSaverClass;
    return RegisterClassA(&saver) != 0;
}

// Over the whole desktop (every monitor), above every other window.
static HWND CreateFullScreenWindow(HINSTANCE instance)
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0) {
        left = top = 0;
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
    }
    GetCursorPos(&StartCursor);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, kSaverClass, "Desktop Quennel", WS_POPUP | WS_VISIBLE, left, top,
                                  width, height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return nullptr;
    ShowCursor(FALSE);
    UpdateWindow(window);  // black at once; the picture follows when it is made
    ViewCreate(window, width, height);
    InvalidateRect(window, nullptr, FALSE);
    return window;
}

static HWND CreatePreviewWindow(HINSTANCE instance)
{
    RECT client;
    if (!PreviewParent || !IsWindow(PreviewParent) || !GetClientRect(PreviewParent, &client))
        return nullptr;
    int width = client.right > 0 ? client.right : 1, height = client.bottom > 0 ? client.bottom : 1;
    // No WM_PARENTNOTIFY: the parent's thread, in another process, need not
    // answer before the preview exists.
    HWND window = CreateWindowExA(WS_EX_NOPARENTNOTIFY, kSaverClass, "", WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                  PreviewParent, nullptr, instance, nullptr);
    if (!window)
        return nullptr;
    ViewCreate(window, width, height);
    InvalidateRect(window, nullptr, FALSE);
    return window;
}

static int RunMessageLoop()
{
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    SetProcessValues((PlatInstance)instance);
    SaverArgs args = ParseSaverArgs(commandLine);
    Mode = args.mode;
    if (Mode == kSaverIgnore)
        return 0;
    if (Mode == kSaverConfigure) {
        HWND owner = IsWindow((HWND)args.window) ? (HWND)args.window : nullptr;
        MessageBoxA(owner, kNothingToSetUp, kBoxCaption, MB_OK | MB_ICONINFORMATION);
        return 0;
    }
    if (Mode == kSaverFullScreen && FindWindowA(kSaverClass, nullptr))
        return 0;  // one is running already
    PreviewParent = (HWND)args.window;
    StartTick = GetTickCount();
    RegisterSaverClass(instance);
    HWND window = Mode == kSaverFullScreen ? CreateFullScreenWindow(instance) : CreatePreviewWindow(instance);
    if (!window)
        return 1;
    SetTimer(window, kFrameTimer, kFrameMs, nullptr);
    return RunMessageLoop();
}
