// The host backend's machine state, live settings, time, threads, message
// boxes and screen.
#include "platform/host/host_internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>

#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <thread>

static void DefaultLogFont(LogFontRecord *f, int height, int weight)
{
    memset(f, 0, sizeof *f);
    f->lfHeight = height;
    f->lfWeight = weight;
    f->lfPitchAndFamily = 34;  // VARIABLE_PITCH | FF_SWISS
    snprintf(f->lfFaceName, sizeof f->lfFaceName, "%s", "Tahoma");
}

// The colours and metrics of a freshly made Wine prefix.
static void DefaultLiveState(HostLive *live)
{
    static const uint32_t colors[31] = {
        0xFFFFFF, 0x956F25, 0xFA9632, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x9E9E9E, 0x000000,
        0x000000, 0x000000, 0xFFFFFF, 0xFFFFFF, 0x808080, 0xFA9630, 0xFFFFFF, 0xF5F5F5,
        0xA6A6A6, 0xA6A6A6, 0x000000, 0xC8C8C8, 0xFFFFFF, 0x6A6A6A, 0xE3E3E3, 0x000000,
        0xFFFFFF, 0xFFFFFF, 0xE0E0E0, 0xFA9632, 0x808080, 0xFA9630, 0xFFFFFF};
    *live = HostLive();
    memcpy(live->sysColors, colors, sizeof colors);
    IconMetricsRecord &im = live->iconMetrics;
    memset(&im, 0, sizeof im);
    im.cbSize = sizeof im;
    im.iHorzSpacing = 75;
    im.iVertSpacing = 75;
    im.iTitleWrap = 1;
    DefaultLogFont(&im.lfFont, -11, 400);
    NonclientMetricsRecord &nm = live->nonclientMetrics;
    memset(&nm, 0, sizeof nm);
    nm.cbSize = sizeof nm;
    nm.iBorderWidth = 1;
    nm.iScrollWidth = nm.iScrollHeight = 17;
    nm.iCaptionWidth = nm.iCaptionHeight = 18;
    nm.iSmCaptionWidth = nm.iSmCaptionHeight = 15;
    nm.iMenuWidth = nm.iMenuHeight = 18;
    DefaultLogFont(&nm.lfCaptionFont, -11, 700);
    DefaultLogFont(&nm.lfSmCaptionFont, -11, 400);
    DefaultLogFont(&nm.lfMenuFont, -11, 400);
    DefaultLogFont(&nm.lfStatusFont, -11, 400);
    DefaultLogFont(&nm.lfMessageFont, -11, 400);
    live->screenSaveActive = false;
    live->quitCode = -1;
}

static void MakeFolder(const std::string &path)
{
    for (size_t at = 1; at <= path.size(); at++)
        if (at == path.size() || path[at] == '/')
            mkdir(path.substr(0, at).c_str(), 0755);
}

static void ResetMachine(HostMachine &m, const char *driveRoot)
{
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.driveRoot = driveRoot;
    while (m.driveRoot.size() > 1 && m.driveRoot.back() == '/')
        m.driveRoot.pop_back();
    if (m.driveRoot == "/")
        m.driveRoot.clear();  // "/tmp" then maps to "" + "/tmp"
    // With "/" as the drive, paths are the host's own (command-line tools):
    // nothing is made there.
    if (!m.driveRoot.empty()) {
        MakeFolder(m.driveRoot);
        MakeFolder(m.driveRoot + "/windows");
    }
    m.modulePath = "C:\\Program Files\\Desktop Quennel\\DesktopQuennel.exe";
    m.userName = "\u0141ukasz \u7530\u4e2d";
    HostResetRegistry(m);
    HostSeedRegistry(m);
    DefaultLiveState(&m.live);
    m.boxAnswers.clear();
    m.events.clear();
    m.messages.clear();
    m.posted.clear();
    m.windows.clear();
    m.screenWidth = 800;
    m.screenHeight = 600;
    m.screenDepth = 16;
    m.screenScale = 100;
    m.displayModeKnown = true;
    m.fixedTime = false;
    m.diskSpace = -1;
    m.failNextThread = false;
    m.failCountdown = 0;
    m.fallibleCalls = 0;
    m.faultsHeld = 0;
    m.injectedFault.clear();
}

// The drive the machine made for itself, removed when the process that made
// it exits (not a child forked from it, which exits with the drive in use).
static char OwnDrive[64];
static pid_t OwnDriveProcess;

static void RemoveOwnDrive()
{
    if (getpid() != OwnDriveProcess)
        return;
    std::error_code ignored;
    std::filesystem::remove_all(OwnDrive, ignored);
}

HostMachine &Machine()
{
    static HostMachine *machine = [] {
        HostMachine *m = new HostMachine();
        std::string root;
        if (const char *env = getenv("QUENNEL_HOST_ROOT")) {
            root = env;
        } else {
            snprintf(OwnDrive, sizeof OwnDrive, "/tmp/quennel-host-XXXXXX");
            if (mkdtemp(OwnDrive)) {
                OwnDriveProcess = getpid();
                atexit(RemoveOwnDrive);
                root = OwnDrive;
            } else {
                root = "/tmp/quennel-host";
            }
        }
        ResetMachine(*m, root.c_str());
        if (const char *module = getenv("QUENNEL_HOST_MODULE"))
            m->modulePath = module;
        return m;
    }();
    return *machine;
}

void HostReset(const char *driveRoot) { ResetMachine(Machine(), driveRoot); }

void HostEvent(const std::string &line)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.events.push_back(line);
}

std::vector<std::string> HostEvents()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.events;
}

void HostClearEvents()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.events.clear();
}

HostLive HostLiveState()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.live;
}

void HostSetModulePath(const char *windowsPath)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.modulePath = windowsPath;
}

void HostSetUser(const char *name)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.userName = name;
}

void HostSetScreen(int width, int height, int depth)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.screenWidth = width;
    m.screenHeight = height;
    m.screenDepth = depth;
}

void HostSetScreenScale(int percent, bool displayModeKnown)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.screenScale = percent;
    m.displayModeKnown = displayModeKnown;
}

void HostSetTime(const PlatTime *t)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.fixedTime = t != nullptr;
    if (t)
        m.time = *t;
}

void HostSetDiskSpace(long long bytes)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.diskSpace = bytes;
}

void HostFailNextThread()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.failNextThread = true;
}

void HostFailCall(long n)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.failCountdown = n > 0 ? n : 0;
    m.fallibleCalls = 0;
    m.injectedFault.clear();
}

long HostFallibleCalls()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.fallibleCalls;
}

std::string HostInjectedFault()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.injectedFault;
}

bool HostFaultNow(const std::string &what)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (m.faultsHeld > 0)
        return false;
    if (++m.fallibleCalls != m.failCountdown)
        return false;
    m.injectedFault = what;
    HostEvent("fault " + what);
    fprintf(stderr, "[fault] %s\n", what.c_str());
    fflush(stderr);
    return true;
}

HostFaultsHeld::HostFaultsHeld()
{
    HostMachine &m = Machine();
    m.lock.lock();
    m.faultsHeld++;
}

HostFaultsHeld::~HostFaultsHeld()
{
    HostMachine &m = Machine();
    m.faultsHeld--;
    m.lock.unlock();
}

void HostAnswerBoxes(const std::vector<int> &answers)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.boxAnswers = answers;
}

// ------------------------------------------------------------ live settings

static void WriteDesktopValue(const char *name, const char *text)
{
    HostFaultsHeld inner;  // the system's own write, not the program's call
    PlatKey key;
    if (RegistryCreate(kRegCurrentUser, "Control Panel\\Desktop", kKeySetValue, &key) == kErrorSuccess) {
        RegistrySetText(key, name, text);
        RegistryClose(key);
    }
}

bool SystemParameters(unsigned action, unsigned param, void *pointer, unsigned flags)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    HostEvent("spi " + std::to_string(action) + " param " + std::to_string(param) + " flags " +
              std::to_string(flags) +
              (action == kSpiSetDeskWallpaper && pointer ? " \"" + std::string((const char *)pointer) + "\"" : ""));
    bool ok = true;
    switch (action) {
    case kSpiSetDeskWallpaper:
        m.live.wallpaper = pointer ? (const char *)pointer : "";
        if (flags & kSpifUpdateIniFile)
            WriteDesktopValue("Wallpaper", m.live.wallpaper.c_str());
        break;
    case kSpiSetScreenSaveActive:
        m.live.screenSaveActive = param != 0;
        if (flags & kSpifUpdateIniFile)
            WriteDesktopValue("ScreenSaveActive", param ? "1" : "0");
        break;
    case kSpiGetIconMetrics:
    case kSpiSetIconMetrics: {
        IconMetricsRecord *im = (IconMetricsRecord *)pointer;
        ok = im && im->cbSize == sizeof(IconMetricsRecord);
        if (ok && action == kSpiGetIconMetrics)
            *im = m.live.iconMetrics;
        else if (ok)
            m.live.iconMetrics = *im;
        break;
    }
    case kSpiGetNonclientMetrics:
    case kSpiSetNonclientMetrics: {
        NonclientMetricsRecord *nm = (NonclientMetricsRecord *)pointer;
        ok = nm && nm->cbSize == sizeof(NonclientMetricsRecord);
        if (ok && action == kSpiGetNonclientMetrics)
            *nm = m.live.nonclientMetrics;
        else if (ok)
            m.live.nonclientMetrics = *nm;
        break;
    }
    case kSpiSetCursors:
        m.live.cursorReloads++;
        break;
    case kSpiSetIcons:
        m.live.iconReloads++;
        break;
    default:
        ok = false;
    }
    return ok;
}

bool SysColorsSet(int count, const int *elements, const uint32_t *colors)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::string line = "syscolors " + std::to_string(count);
    char item[32];
    for (int i = 0; i < count; i++) {
        if (elements[i] >= 0 && elements[i] < 31)
            m.live.sysColors[elements[i]] = colors[i] & 0xFFFFFF;
        snprintf(item, sizeof item, " %d=%06x", elements[i], (unsigned)(colors[i] & 0xFFFFFF));
        line += item;
    }
    HostEvent(line);
    return true;
}

uint32_t SysColorGet(int element)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return element >= 0 && element < 31 ? m.live.sysColors[element] : 0;
}

void BroadcastIniChange(unsigned action, const char *text)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::string line = std::to_string(action) + (text ? " " + std::string(text) : "");
    m.live.broadcasts.push_back(line);
    HostEvent("broadcast WM_WININICHANGE " + line);
}

void ShellNotify(long event)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.shellNotifications.push_back(event);
    char line[48];
    snprintf(line, sizeof line, "shell notify 0x%08lx", (unsigned long)event);
    HostEvent(line);
}

// ---------------------------------------------------------------- the rest

void LocalTimeNow(PlatTime *t)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (m.fixedTime) {
        *t = m.time;
        return;
    }
    time_t now = time(nullptr);
    struct tm tm;
    localtime_r(&now, &tm);
    *t = PlatTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// A thread's end is seen through a flag that outlives both the thread and the
// handle, whichever goes first.
struct ThreadState {
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
};

struct PlatThreadRec {
    std::shared_ptr<ThreadState> state;
    std::thread thread;
    ThreadRoutine routine;
    void *param;
    bool started;
};

static void Launch(PlatThreadRec *t)
{
    t->started = true;
    std::shared_ptr<ThreadState> state = t->state;
    ThreadRoutine routine = t->routine;
    void *param = t->param;
    t->thread = std::thread([routine, param, state] {
        routine(param);
        HostEvent("thread end");
        std::lock_guard<std::mutex> hold(state->lock);
        state->done = true;
        state->ended.notify_all();
    });
}

// While a fault is armed, a new thread starts only when its starter waits for
// it or closes it, so that the calls of both threads come in one order and
// the nth call is the same in every run.
PlatThread ThreadStart(ThreadRoutine routine, void *param)
{
    bool later;
    {
        HostMachine &m = Machine();
        std::lock_guard<std::recursive_mutex> hold(m.lock);
        if (m.failNextThread || HostFaultNow("ThreadStart")) {
            m.failNextThread = false;
            HostEvent("thread start (failed)");
            return nullptr;
        }
        later = m.failCountdown > m.fallibleCalls;
    }
    HostEvent("thread start");
    PlatThreadRec *t = new PlatThreadRec{std::make_shared<ThreadState>(), std::thread(), routine, param, false};
    if (!later)
        Launch(t);
    return t;
}

unsigned long ThreadWait(PlatThread thread, unsigned long ms)
{
    if (!thread)
        return kWaitFailed;
    if (!thread->started)
        Launch(thread);
    std::unique_lock<std::mutex> hold(thread->state->lock);
    if (ms == kInfinite) {
        thread->state->ended.wait(hold, [&] { return thread->state->done; });
        return kWaitObject0;
    }
    bool done = thread->state->ended.wait_for(hold, std::chrono::milliseconds(ms),
                                              [&] { return thread->state->done; });
    return done ? kWaitObject0 : kWaitTimeout;
}

void ThreadClose(PlatThread thread)
{
    if (!thread)
        return;
    if (!thread->started)
        Launch(thread);
    bool done;
    {
        std::lock_guard<std::mutex> hold(thread->state->lock);
        done = thread->state->done;
    }
    if (done)
        thread->thread.join();
    else
        thread->thread.detach();
    delete thread;
}

void ThreadYield() { std::this_thread::yield(); }

int ProcessorCount()
{
    unsigned n = std::thread::hardware_concurrency();
    return n > 0 ? (int)n : 1;
}

// Linux backs a block with huge pages where it is aligned to them and the
// program asks for it (the system's usual setting); without them the advice
// changes nothing.
void *LargeBlockAllocate(size_t bytes)
{
    constexpr size_t kHugePage = (size_t)2 << 20;
    if (bytes < kHugePage)
        return malloc(bytes);
    size_t rounded = (bytes + kHugePage - 1) & ~(kHugePage - 1);
    if (rounded < bytes)
        return nullptr;
    void *block = aligned_alloc(kHugePage, rounded);
    if (block)
        madvise(block, rounded, MADV_HUGEPAGE);
    return block;
}

// The box goes to standard error; the answer comes from the test's script.
int MessageBoxShow(PlatWindow owner, const char *text, const char *caption, unsigned style)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.boxes.push_back(HostBox{owner, text ? text : "", caption ? caption : "", style});
    char styleText[16];
    snprintf(styleText, sizeof styleText, "0x%x", style);
    HostEvent(std::string("message box \"") + (caption ? caption : "") + "\" \"" + (text ? text : "") +
              "\" " + styleText);
    fprintf(stderr, "[%s] %s\n", caption ? caption : "", text ? text : "");
    fflush(stderr);
    int answer;
    if (!m.boxAnswers.empty()) {
        answer = m.boxAnswers.front();
        m.boxAnswers.erase(m.boxAnswers.begin());
    } else {
        answer = (style & 0xF) == kMbYesNoCancel ? kIdYes : kIdOk;
    }
    return answer;
}

void ScreenSize(int *width, int *height)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    // What a program without DPI awareness is told: the real size scaled
    // down, rounded as MulDiv rounds.
    *width = (m.screenWidth * 100 + m.screenScale / 2) / m.screenScale;
    *height = (m.screenHeight * 100 + m.screenScale / 2) / m.screenScale;
}

bool DisplayModeSize(int *width, int *height)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!m.displayModeKnown)
        return false;
    *width = m.screenWidth;
    *height = m.screenHeight;
    return true;
}

int ScreenBitsPerPixel()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.screenDepth;
}

// 96 pixels an inch, as a standard display reports.
void ScreenPelsPerMeter(int *x, int *y)
{
    *x = 3779;
    *y = 3779;
}

