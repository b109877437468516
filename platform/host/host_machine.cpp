// The simulated machine itself: its state at reset (the registry, colours
// and metrics of a freshly made Wine prefix, its drive, screen and user), the
// one place it lives, and what tests set on it and read back (events, fault
// injection, box answers). Apart from the simulated calls, which only use it.
#include "platform/host/host_internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <unistd.h>
#include <time.h>

#include <filesystem>

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
    live->highContrast = false;
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
    HostOnUnboundedWait(nullptr);
    m.events.clear();
    m.messages.clear();
    m.posted.clear();
    m.windows.clear();
    m.screenWidth = 800;
    m.screenHeight = 600;
    m.screenDepth = 16;
    m.monitors = {HostMonitor{0, 0, 800, 600, true}};
    m.dpi = 96;
    m.fonts.clear();
    m.windowsMajor = 10;
    m.windowsMinor = 0;
    m.screenScale = 100;
    m.displayModeKnown = true;
    m.fixedTime = false;
    setenv("TZ", "UTC0", 1);  // the zone of HostSetTimeZone
    tzset();
    m.tasks.clear();
    m.taskSchedulerReachable = true;
    m.diskSpace = -1;
    m.failNextThread = false;
    m.failCountdown = 0;
    m.fallibleCalls = 0;
    m.faultsHeld = 0;
    m.injectedFault.clear();
    for (int fd : m.mutexLocks)
        close(fd);
    m.mutexLocks.clear();
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
    m.monitors = {HostMonitor{0, 0, width, height, true}};
}

void HostSetMonitors(const std::vector<HostMonitor> &monitors)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.monitors = monitors;
    for (const HostMonitor &monitor : monitors)
        if (monitor.primary) {
            m.screenWidth = monitor.width;
            m.screenHeight = monitor.height;
        }
}

void HostSetHighContrast(bool on)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.live.highContrast = on;
}

void HostSetWindowsVersion(int major, int minor)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.windowsMajor = major;
    m.windowsMinor = minor;
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
