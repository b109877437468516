// The host backend's windows: just enough of them for the install and the
// wallpaper job, whose progress texts, capture, cursor, timer and posted
// messages tests read back.
#include "platform/host/host_internal.h"

#include <string.h>

static std::string WindowName(PlatWindow w)
{
    return w ? "#" + std::to_string(w->id) : "(none)";
}

PlatWindow HostMakeWindow(PlatWindow parent, int id, const char *text)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.windows.push_back(std::make_unique<PlatWindowRec>(
        PlatWindowRec{parent, id, text ? text : "", nullptr, HostWindowState{true, false, 0, 0, 0, 0, 0, 0, nullptr}}));
    return m.windows.back().get();
}

std::string HostWindowText(PlatWindow window)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return window ? window->text : "";
}

std::vector<HostMessage> HostMessages()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.messages;
}

PlatWindow WindowItem(PlatWindow parent, int id)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    for (auto &w : m.windows)
        if (parent && w->parent == parent && w->id == id)
            return w.get();
    return nullptr;
}

void WindowSetText(PlatWindow window, const char *text)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!window)
        return;
    window->text = text;
    HostEvent("window text " + WindowName(window) + " = \"" + text + "\"");
}

unsigned WindowGetText(PlatWindow window, char *buf, unsigned size)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (size == 0)
        return 0;
    std::string text = window ? window->text : "";
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    memcpy(buf, text.data(), n);
    buf[n] = 0;
    return (unsigned)n;
}

void WindowUpdate(PlatWindow window) { HostEvent("window update " + WindowName(window)); }

void MouseCapture(PlatWindow window)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.capture = window;
    HostEvent("capture " + WindowName(window));
}

void MouseRelease()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.capture = nullptr;
    HostEvent("release capture");
}

void CursorShow(SystemCursor cursor)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.cursor = cursor;
    HostEvent(cursor == kCursorWait ? "cursor wait" : "cursor arrow");
}

void TimerStart(PlatWindow window, unsigned id, unsigned ms)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    auto &timers = m.live.timers;
    bool running = false;
    for (unsigned t : timers)
        running = running || t == id;
    if (!running)
        timers.push_back(id);
    HostEvent("timer start " + WindowName(window) + " " + std::to_string(id) + " " + std::to_string(ms));
}

void TimerStop(PlatWindow window, unsigned id)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    auto &timers = m.live.timers;
    for (size_t i = 0; i < timers.size(); i++)
        if (timers[i] == id)
            timers.erase(timers.begin() + i--);
    HostEvent("timer stop " + WindowName(window) + " " + std::to_string(id));
}

void HostSetWindowProc(PlatWindow window, HostWindowProc proc)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    window->proc = proc;
}

HostWindowState HostWindowInfo(PlatWindow window)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return window ? window->info : HostWindowState{};
}

void WindowEnable(PlatWindow window, bool enable)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (window)
        window->info.enabled = enable;
    HostEvent(std::string(enable ? "enable " : "disable ") + WindowName(window));
}

bool WindowIsEnabled(PlatWindow window)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return window && window->info.enabled;
}

void ButtonSetCheck(PlatWindow parent, int id, int state)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    PlatWindow button = WindowItem(parent, id);
    if (button)
        button->info.check = state;
    HostEvent("check #" + std::to_string(id) + " " + std::to_string(state));
}

void WindowFocus(PlatWindow window)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.focus = window;
    HostEvent("focus " + WindowName(window));
}

PlatWindow WindowFocused()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.live.focus;
}

int WindowId(PlatWindow window) { return window ? window->id : 0; }

// Window procedures run without the machine's lock, as they may call back in.
static intptr_t Deliver(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    HostWindowProc proc;
    {
        HostMachine &m = Machine();
        std::lock_guard<std::recursive_mutex> hold(m.lock);
        proc = window && !window->info.destroyed ? window->proc : nullptr;
    }
    return proc ? proc(window, message, wParam, lParam) : 0;
}

void WindowDestroy(PlatWindow window)
{
    if (!window || HostWindowInfo(window).destroyed)
        return;
    HostEvent("destroy " + WindowName(window));
    Deliver(window, kWmDestroy, 0, 0);
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    window->info.destroyed = true;
}

void MessageLoopQuit(int code)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.quitCode = code;
    HostEvent("quit " + std::to_string(code));
}

static void Record(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam, bool posted)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.messages.push_back(HostMessage{window, message, wParam, lParam, posted});
    if (posted)
        m.posted.push_back(HostMessage{window, message, wParam, lParam, posted});
    if (message == kWmUser + 1 && window)
        window->info.state = wParam;
    HostEvent(std::string(posted ? "post " : "send ") + WindowName(window) + " " + std::to_string(message) +
              " " + std::to_string(wParam) + " " + std::to_string(lParam));
}

bool MessagePost(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    Record(window, message, wParam, lParam, true);
    return window != nullptr;
}

intptr_t MessageSend(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    Record(window, message, wParam, lParam, false);
    return Deliver(window, message, wParam, lParam);
}

int HostDispatchPosted()
{
    int count = 0;
    for (;;) {
        HostMessage next;
        {
            HostMachine &m = Machine();
            std::lock_guard<std::recursive_mutex> hold(m.lock);
            if (m.posted.empty())
                return count;
            next = m.posted.front();
            m.posted.erase(m.posted.begin());
        }
        Deliver(next.window, next.message, next.wParam, next.lParam);
        count++;
    }
}

// ------------------------------------------------------- sizes at a dpi

void WindowMove(PlatWindow window, int left, int top, int width, int height)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!window)
        return;
    window->info.left = left, window->info.top = top;
    window->info.width = width, window->info.height = height;
    HostEvent("move " + WindowName(window) + " " + std::to_string(left) + " " + std::to_string(top) + " " +
              std::to_string(width) + " " + std::to_string(height));
}

// The frame of a window with a caption and no sizing border, as a fresh Wine
// prefix draws it: a 3-pixel edge at 96 dots an inch all round and the
// caption below the top one, each grown with the dpi.
void WindowSizeClient(PlatWindow window, int clientWidth, int clientHeight, int dpi)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!window)
        return;
    int edge = (3 * dpi + 48) / 96;
    WindowMove(window, window->info.left, window->info.top, clientWidth + 2 * edge,
               clientHeight + 2 * edge + SystemMetricAtDpi(kSmCyCaption, dpi));
}

void HostSetDpi(int dpi)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.dpi = dpi;
}

int WindowDpi(PlatWindow)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.dpi;
}

static PlatFont NewFont(int pixels, const std::string &face)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.fonts.push_back(std::make_unique<PlatFontRec>(PlatFontRec{pixels, face, false}));
    return m.fonts.back().get();
}

PlatFont FontCreate(int pixels, const char *face) { return NewFont(pixels, face ? face : ""); }

// The status font of a fresh Wine prefix: Tahoma of 11 pixels at 96 dpi.
PlatFont StatusFontCreate(int dpi) { return NewFont((11 * dpi + 48) / 96, "Tahoma"); }

void FontDelete(PlatFont font)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (font)
        font->deleted = true;
}

void WindowSetFont(PlatWindow window, PlatFont font)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (window)
        window->info.font = font;
}

bool TextExtent(PlatFont font, const char *text, int *width, int *height)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    *width = *height = 0;
    if (!font || font->deleted || !text)
        return false;
    *width = (int)((strlen(text) * font->pixels * 11 + 10) / 20);
    *height = (font->pixels * 5 + 3) / 4;
    return true;
}

int SystemMetricAtDpi(int index, int dpi)
{
    // A fresh Wine prefix's at 96 dpi, scaled as the system scales them.
    int at96 = index == kSmCxIcon || index == kSmCyIcon ? 32 : index == kSmCyCaption ? 18 : 0;
    return (at96 * dpi + 48) / 96;
}

int HostFontPixels(PlatFont font)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return font && !font->deleted ? font->pixels : 0;
}

std::string HostFontFace(PlatFont font)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return font && !font->deleted ? font->face : "";
}

int HostLiveFonts()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    int live = 0;
    for (auto &f : m.fonts)
        live += !f->deleted;
    return live;
}
