// The host backend's clock and time zone (the C library's, under a POSIX
// rule a test sets) and its Task Scheduler: a store of tasks by path, each
// with its XML and the user who registered it, that a test can make
// unreachable.
#include "platform/host/host_internal.h"

#include <stdlib.h>
#include <time.h>

#include <cstring>

void HostSetTimeZone(const char *posixRule)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    setenv("TZ", posixRule, 1);
    tzset();
}

static PlatTime FromTm(const struct tm &tm)
{
    return PlatTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

static bool ToUtc(const PlatTime &t, long long *utcSeconds)
{
    struct tm tm = {};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    time_t made = mktime(&tm);
    if (made == (time_t)-1 && !(t.year == 1969 || t.year == 1970))
        return false;
    *utcSeconds = (long long)made;
    return true;
}

long long UtcSecondsNow()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    long long now = (long long)time(nullptr);
    if (m.fixedTime)
        ToUtc(m.time, &now);
    return now;
}

bool LocalFromUtc(long long utcSeconds, PlatTime *local)
{
    std::lock_guard<std::recursive_mutex> hold(Machine().lock);
    time_t at = (time_t)utcSeconds;
    struct tm tm;
    if (!localtime_r(&at, &tm))
        return false;
    *local = FromTm(tm);
    return true;
}

bool UtcFromLocal(const PlatTime &local, long long *utcSeconds)
{
    std::lock_guard<std::recursive_mutex> hold(Machine().lock);
    return ToUtc(local, utcSeconds);
}

// A user's identifier made from the user's name, the same on every run.
static std::string SidOf(const std::string &name)
{
    uint32_t hash = 2166136261u;
    for (unsigned char c : name)
        hash = (hash ^ c) * 16777619u;
    return "S-1-5-21-1004336348-1177238915-682003330-" + std::to_string(1000 + hash % 100000);
}

bool UserSidText(char *text, size_t size)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    std::string sid = SidOf(m.userName);
    if (sid.size() >= size)
        return false;
    memcpy(text, sid.c_str(), sid.size() + 1);
    return true;
}

std::vector<HostTask> HostTasks()
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    return m.tasks;
}

void HostSetTaskSchedulerReachable(bool reachable)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    m.taskSchedulerReachable = reachable;
}

static bool Reached(HostMachine &m, const std::string &what)
{
    return !HostFaultNow(what) && m.taskSchedulerReachable;
}

bool TaskRegister(const char *path, const char *xml)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!Reached(m, std::string("TaskRegister ") + path) || path[0] != '\\')
        return false;
    HostEvent(std::string("task registered ") + path);
    for (HostTask &t : m.tasks)
        if (SameText(t.path, path)) {
            t = HostTask{path, xml, SidOf(m.userName)};
            return true;
        }
    m.tasks.push_back(HostTask{path, xml, SidOf(m.userName)});
    return true;
}

int TaskPresent(const char *path)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!Reached(m, std::string("TaskPresent ") + path))
        return -1;
    for (const HostTask &t : m.tasks)
        if (SameText(t.path, path))
            return 1;
    return 0;
}

// Deletes the tasks whose path the test accepts; false when the Task
// Scheduler cannot be reached.
template <typename Test> static bool DeleteTasks(const std::string &what, Test test)
{
    HostMachine &m = Machine();
    std::lock_guard<std::recursive_mutex> hold(m.lock);
    if (!Reached(m, what))
        return false;
    for (size_t i = m.tasks.size(); i-- > 0;)
        if (test(m.tasks[i].path)) {
            HostEvent("task deleted " + m.tasks[i].path);
            m.tasks.erase(m.tasks.begin() + (long)i);
        }
    return true;
}

bool TaskDelete(const char *path)
{
    return DeleteTasks(std::string("TaskDelete ") + path, [&](const std::string &p) { return SameText(p, path); });
}

bool TaskFolderDelete(const char *folder, const char *)
{
    std::string prefix = std::string(folder) + "\\";
    return DeleteTasks(std::string("TaskFolderDelete ") + folder, [&](const std::string &p) {
        return p.size() > prefix.size() && SameText(p.substr(0, prefix.size()), prefix);
    });
}
