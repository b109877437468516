// State shared by the host backend's files. One lock guards all of it, since
// the wallpaper job calls the platform from its own thread.
#pragma once

#include "platform/host/host.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct RegValue {
    std::string name;  // "" is the key's default value
    unsigned type;
    std::vector<uint8_t> data;
};

struct RegNode {
    std::string name;
    std::vector<RegValue> values;
    std::vector<std::unique_ptr<RegNode>> children;
};

struct PlatWindowRec {
    PlatWindow parent;
    int id;
    std::string text;
    HostWindowProc proc;
    HostWindowState info;
};

struct PlatFontRec {
    int pixels;
    std::string face;
    bool deleted;
};

struct HostMachine {
    std::recursive_mutex lock;
    std::string driveRoot;                    // Linux folder standing for C:
    std::string modulePath;                   // the program's Windows path
    std::string userName;                     // names the profile folder
    RegNode roots[3];                         // by RegRoot
    HostLive live;
    std::vector<int> boxAnswers;
    std::vector<std::string> events;
    std::vector<std::unique_ptr<PlatWindowRec>> windows;
    std::vector<HostMessage> messages;
    std::vector<HostMessage> posted;          // not yet delivered
    int screenWidth, screenHeight, screenDepth;  // the display mode: real pixels
    std::vector<HostMonitor> monitors;        // real pixels; the primary's size is the screen's
    int windowsMajor, windowsMinor;
    int dpi;                                  // WindowDpi's answer
    std::vector<std::unique_ptr<PlatFontRec>> fonts;  // made since reset, deleted ones kept as such
    int screenScale;                          // percent; the metrics show the size divided by it
    bool displayModeKnown;                    // false: DisplayModeSize fails
    bool fixedTime;
    PlatTime time;
    long long diskSpace;                      // < 0: no limit
    bool failNextThread;
    long failCountdown;                       // the fallible call that fails; 0 none
    long fallibleCalls;                       // counted since the last HostFailCall
    int faultsHeld;                           // > 0: the backend's own inner calls, never failed
    std::string injectedFault;                // the call made to fail, "" none yet
    std::vector<int> mutexLocks;              // the named mutexes this process holds: locked files
    std::vector<HostTask> tasks;              // the Task Scheduler's store, every user's
    bool taskSchedulerReachable;
};

// The one machine of the process, made on first use (host_machine.cpp).
HostMachine &Machine();
// Counts one fallible call, described by what; true when the injection makes
// this one fail.
bool HostFaultNow(const std::string &what);
// Keeps the backend's own inner calls out of the count while it lives.
struct HostFaultsHeld {
    HostFaultsHeld();
    ~HostFaultsHeld();
};
void HostEvent(const std::string &line);
// Case-insensitive ASCII comparison, as the registry and the file system do.
bool SameText(const std::string &a, const std::string &b);
// The backend's Windows folder as a Windows path.
constexpr const char *kHostWindowsFolder = "C:\\windows";
// Resets the registry to empty roots (registry file).
void HostResetRegistry(HostMachine &m);
const char *RootName(RegRoot root);
// Fills the empty registry as a freshly made Wine prefix has it.
void HostSeedRegistry(HostMachine &m);
