// The live settings of the win32 backend: SystemParametersInfo, the system
// colours, the bounded WM_WININICHANGE broadcast and the shell's notice.
// Apart from the rest because these calls reach every window of the desktop,
// and one that hangs must not hold the install.
#include "platform/records.h"
#include "platform/system.h"
#include "platform/win32/win32_text.h"

#include <shlobj.h>

static_assert(sizeof(LogFontRecord) == sizeof(LOGFONTA), "LOGFONTA layout");
static_assert(sizeof(IconMetricsRecord) == sizeof(ICONMETRICSA), "ICONMETRICSA layout");
static_assert(kSpiSetNonclientMetrics == SPI_SETNONCLIENTMETRICS && kSpiSetIcons == SPI_SETICONS &&
              kSpiSetCursors == SPI_SETCURSORS && kSpiSetDeskWallpaper == SPI_SETDESKWALLPAPER,
              "SystemParametersInfo actions");
static_assert(kShcneAssocChanged == SHCNE_ASSOCCHANGED && kShcneUpdateImage == SHCNE_UPDATEIMAGE,
              "shell events");

bool HighContrastOn()
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

bool SystemParameters(unsigned action, unsigned param, void *pointer, unsigned flags)
{
    flags &= SPIF_UPDATEINIFILE;
    if (action == SPI_SETDESKWALLPAPER) {
        std::u16string path;
        if (!Widen(pointer ? (const char *)pointer : "", &path))
            return false;
        return SystemParametersInfoW(action, param, (void *)Wide(path), flags) != 0;
    }
    return SystemParametersInfoA(action, param, pointer, flags) != 0;
}

// SetSysColors repaints every window before it returns, and under Wine it
// waits for a window of another program to paint itself: one that hangs would
// hold the install for ever. The call runs on a thread of its own, which the
// caller waits for a few seconds at most, meanwhile answering what the
// repaint sends to this thread's own windows; the colours themselves are set
// before the repaint begins. The record is freed by whichever of the two
// threads ends last.
struct SysColorsCall {
    LONG owners;
    int count;
    int elements[64];
    COLORREF colors[64];
    BOOL result;
};

static void ReleaseSysColorsCall(SysColorsCall *call)
{
    if (InterlockedDecrement(&call->owners) == 0)
        delete call;
}

static DWORD WINAPI SysColorsThread(LPVOID p)
{
    SysColorsCall *call = (SysColorsCall *)p;
    call->result = SetSysColors(call->count, call->elements, call->colors);
    ReleaseSysColorsCall(call);
    return 0;
}

bool SysColorsSet(int count, const int *elements, const uint32_t *colors)
{
    constexpr DWORD kRepaintPatience = 5000;  // ms; a healthy desktop repaints in a fraction of it
    if (count < 0 || count > 64)
        return false;
    SysColorsCall *call = new SysColorsCall{2, count, {}, {}, FALSE};
    memcpy(call->elements, elements, sizeof(int) * count);
    memcpy(call->colors, colors, sizeof(COLORREF) * count);
    HANDLE thread = CreateThread(nullptr, 0, SysColorsThread, call, 0, nullptr);
    if (!thread) {
        call->owners = 1;
        SysColorsThread(call);
        return true;
    }
    bool ended = false;
    for (DWORD start = GetTickCount();;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= kRepaintPatience)
            break;
        DWORD woke = MsgWaitForMultipleObjects(1, &thread, FALSE, kRepaintPatience - spent, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) {
            ended = true;
            break;
        }
        if (woke != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);  // answers what was sent
    }
    bool ok = !ended || call->result;  // still repainting: the colours are set
    CloseHandle(thread);
    ReleaseSysColorsCall(call);
    return ok;
}

uint32_t SysColorGet(int element) { return GetSysColor(element); }

void BroadcastIniChange(unsigned action, const char *text)
{
    constexpr UINT kWindowPatience = 1000;  // ms a window
    std::u16string wide;
    if (text && !Widen(text, &wide))
        return;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, action, text ? (LPARAM)Wide(wide) : 0, SMTO_ABORTIFHUNG,
                        kWindowPatience, &result);
}

void ShellNotify(long event) { SHChangeNotify(event, SHCNF_IDLIST, nullptr, nullptr); }
