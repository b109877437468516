// The host backend's remaining system calls: local time (the real clock, or
// one a test fixes), threads whose start the fault injection can hold back,
// large blocks, message boxes answered from the test's script, the screen's
// facts, its monitors and the system's version.
#include "platform/host/host_internal.h"

#include <stdio.h>
#include <stdlib.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <time.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

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

static std::atomic<void (*)()> UnboundedWaitCall;

void HostOnUnboundedWait(void (*call)()) { UnboundedWaitCall = call; }

unsigned long ThreadWait(PlatThread thread, unsigned long ms)
{
    if (!thread)
        return kWaitFailed;
    if (!thread->started)
        Launch(thread);
    if (ms == kInfinite)
        if (void (*call)() = UnboundedWaitCall.exchange(nullptr))
            call();
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

unsigned long ProcessIdentifier() { return (unsigned long)getpid(); }

// A named mutex is a file locked for as long as the process holds it, in a
// folder of the drive that the program never sees: every process of one
// simulated machine (one drive) sees the same names, and the system ends the
// lock with the process, however it ends.
bool SessionMutexCreate(const char *name)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::string folder = m.driveRoot + "/.host-mutexes", file = name;
    for (char &c : file)
        if (c == '\\' || c == '/')
            c = '_';
    mkdir(folder.c_str(), 0700);
    int fd = open((folder + "/" + file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    m.mutexLocks.push_back(fd);  // held, made or not, as the handle is
    bool made = flock(fd, LOCK_EX | LOCK_NB) == 0;
    HostEvent(std::string("mutex ") + name + (made ? " made" : " exists"));
    return made;
}

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

// A coordinate as a program without DPI awareness is told it, rounded as
// MulDiv rounds.
static int Unscaled(int value, int percent)
{
    long long scaled = (long long)value * 100;
    return (int)(scaled >= 0 ? (scaled + percent / 2) / percent : -((-scaled + percent / 2) / percent));
}

int DisplayMonitors(MonitorRecord *monitors, int capacity)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    int count = (int)m.monitors.size();
    for (int i = 0; i < count && i < capacity; i++) {
        const HostMonitor &h = m.monitors[(size_t)i];
        MonitorRecord &r = monitors[i];
        r.mode = PixelRect{h.left, h.top, h.left + h.width, h.top + h.height};
        r.rect = PixelRect{Unscaled(r.mode.left, m.screenScale), Unscaled(r.mode.top, m.screenScale),
                            Unscaled(r.mode.right, m.screenScale), Unscaled(r.mode.bottom, m.screenScale)};
        r.modeKnown = m.displayModeKnown;
        if (!r.modeKnown)
            r.mode = r.rect;
        r.primary = h.primary;
    }
    return count;
}

bool WindowsVersionAtLeast(int major, int minor)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.windowsMajor > major || (m.windowsMajor == major && m.windowsMinor >= minor);
}

// 96 pixels an inch, as a standard display reports.
void ScreenPelsPerMeter(int *x, int *y)
{
    *x = 3779;
    *y = 3779;
}

