#include "tests/fuzz/fuzz_support.h"

#include "base/apperror.h"
#include "base/processvalues.h"
#include "base/team.h"
#include "platform/host/host.h"
#include "platform/host/host_exit.h"
#include "platform/system.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <filesystem>

// AddressSanitizer's hooks; absent (null) in a build without it, where the
// blocks a report leaves are not freed.
extern "C" __attribute__((weak)) int __sanitizer_install_malloc_and_free_hooks(
    void (*onMalloc)(const volatile void *, size_t), void (*onFree)(const volatile void *));

static std::string Drive;

static void RemoveDrive()
{
    std::error_code ignored;
    if (!Drive.empty())
        std::filesystem::remove_all(Drive, ignored);
}

// The program's folder and the user's folder for its files, as a machine
// that runs the program has them.
static void MakeProgramFolder()
{
    std::error_code ignored;
    std::filesystem::create_directories(HostPath("C:\\Program Files\\Desktop Quennel"), ignored);
    MakeUserDataFolder(UserDataDir, sizeof UserDataDir);
}

void FuzzMachineSetUp()
{
    if (!Drive.empty())
        return;
    std::string parent = "/tmp";
    if (const char *env = getenv("QUENNEL_HOST_ROOT"))
        parent = env;
    std::error_code ignored;
    std::filesystem::create_directories(parent, ignored);
    std::string tmpl = parent + "/quennel-fuzz-XXXXXX";
    if (!mkdtemp(&tmpl[0])) {
        fprintf(stderr, "fuzz: cannot make a folder in %s\n", parent.c_str());
        abort();
    }
    Drive = tmpl;
    atexit(RemoveDrive);
    HostReset(Drive.c_str());
    MakeProgramFolder();
    SetProcessValues(nullptr);
    HostThrowOnExit(true);
    // The bodies that record their blocks run on one thread: the art's
    // decoding takes no helper here (the thread sanitizer's build tests it).
    TeamThreads = 1;
}

void FuzzResetMachine()
{
    HostReset(Drive.c_str());
    MakeProgramFolder();
}

// ------------------------------------------------- blocks left by a report

// The blocks allocated while a body runs and not yet freed. The hooks run on
// every allocation of the process; the bodies that record are single-threaded.
// Volatile: the compiler takes malloc and free for calls that touch no
// variable of ours, but here they do.
constexpr int kMaxRecorded = 4096;
static const void *volatile Recorded[kMaxRecorded];
static volatile int RecordedCount;
static volatile bool Recording, RecordOverflow;

static void OnMalloc(const volatile void *p, size_t)
{
    if (!Recording)
        return;
    if (RecordedCount == kMaxRecorded) {
        RecordOverflow = true;
        return;
    }
    Recorded[RecordedCount] = (const void *)p;
    RecordedCount = RecordedCount + 1;
}

static void OnFree(const volatile void *p)
{
    for (int i = RecordedCount - 1; i >= 0; i--)
        if (Recorded[i] == p) {
            RecordedCount = RecordedCount - 1;
            Recorded[i] = Recorded[RecordedCount];
            return;
        }
}

static void InstallHooks()
{
    static bool installed = false;
    if (!installed && __sanitizer_install_malloc_and_free_hooks) {
        __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
        installed = true;
    }
}

static std::string LogPath()
{
    return std::string(UserDataDir) + "\\assertFile.txt";
}

bool RunUntilReport(void (*body)(void *), void *context, bool freeLeftovers)
{
    if (freeLeftovers) {
        InstallHooks();
        RecordedCount = 0;
        RecordOverflow = false;
        Recording = true;
    }
    bool reported = false;
    try {
        body(context);
    } catch (const HostProcessExit &e) {
        Recording = false;
        if (e.code != 255) {
            fprintf(stderr, "fuzz: the process ended with %d, not the report's 255\n", e.code);
            abort();
        }
        reported = true;
    }
    Recording = false;
    if (!reported) {
        RecordedCount = 0;
        return false;
    }

    // The report's record: a time line of 24 characters, then the message;
    // written in text mode, so each line ends in a carriage return and a
    // line feed.
    std::string log = LogPath();
    PlatFile *f = FileOpen(log.c_str(), "rb");
    if (!f) {
        fprintf(stderr, "fuzz: a fatal report left no record in %s\n", log.c_str());
        abort();
    }
    char head[32] = {};
    size_t got = FileRead(head, 26, f);
    FileClose(f);
    if (got != 26 || head[24] != '\r' || head[25] != '\n') {
        fprintf(stderr, "fuzz: the report's record does not start with its time line\n");
        abort();
    }
    FileDelete(log.c_str());

    if (freeLeftovers) {
        // The machine keeps the report's box and event: a reset frees those
        // (its blocks leave the record as they go) before the rest is freed.
        FuzzResetMachine();
        if (RecordOverflow) {
            fprintf(stderr, "fuzz: more than %d blocks left by one report\n", kMaxRecorded);
            abort();
        }
        static void *leftovers[kMaxRecorded];
        int count = RecordedCount;
        for (int i = 0; i < count; i++)
            leftovers[i] = (void *)Recorded[i];
        RecordedCount = 0;
        for (int i = 0; i < count; i++)
            free(leftovers[i]);
    }
    return true;
}

static void ReportOnce(void *) { AppAssert(0, "fuzz", 1, "warming up the report"); }

void WarmUpFreeingLeftovers()
{
    // Some events first, so that the event list does not grow during a report.
    for (int i = 0; i < 64; i++)
        ShellNotify(0);
    HostClearEvents();
    RunUntilReport(ReportOnce, nullptr, false);
    FuzzResetMachine();
}

void FuzzMakeFolder(const char *windowsPath)
{
    std::error_code ignored;
    std::filesystem::create_directories(HostPath(windowsPath), ignored);
}

void FuzzWriteFile(const char *windowsPath, const uint8_t *data, size_t size)
{
    PlatFile *f = FileOpen(windowsPath, "wb");
    if (!f || (size && FileWrite(data, size, f) != size)) {
        fprintf(stderr, "fuzz: cannot write %s\n", windowsPath);
        abort();
    }
    FileClose(f);
}
