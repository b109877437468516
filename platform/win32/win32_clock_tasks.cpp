// The win32 backend's clock, its time-zone conversions, the user's security
// identifier and the Task Scheduler (its COM interface, tasks registered from
// their XML).
#include "platform/system.h"
#include "platform/win32/win32_text.h"

#include <initguid.h>
#include <ole2.h>
#include <oleauto.h>
#include <sddl.h>
#include <taskschd.h>

#include <vector>

// 100-nanosecond units between 1601-01-01 and 1970-01-01, both UTC.
constexpr long long kUnixEpochTicks = 116444736000000000LL;

static long long SecondsFromFileTime(const FILETIME &ft)
{
    long long ticks = ((long long)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    return (ticks - kUnixEpochTicks) / 10000000;
}

long long UtcSecondsNow()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return SecondsFromFileTime(ft);
}

bool LocalFromUtc(long long utcSeconds, PlatTime *local)
{
    long long ticks = utcSeconds * 10000000 + kUnixEpochTicks;
    FILETIME ft{(DWORD)ticks, (DWORD)(ticks >> 32)};
    SYSTEMTIME utc, st;
    if (ticks < 0 || !FileTimeToSystemTime(&ft, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &st))
        return false;
    *local = PlatTime{st.wYear, st.wMonth, st.wDay, st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond};
    return true;
}

bool UtcFromLocal(const PlatTime &local, long long *utcSeconds)
{
    SYSTEMTIME st{(WORD)local.year, (WORD)local.month, 0, (WORD)local.day, (WORD)local.hour, (WORD)local.minute,
                  (WORD)local.second, 0};
    SYSTEMTIME utc;
    FILETIME ft;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &st, &utc) || !SystemTimeToFileTime(&utc, &ft))
        return false;
    *utcSeconds = SecondsFromFileTime(ft);
    return true;
}

bool UserSidText(char *text, size_t size)
{
    HANDLE token;
    if (size > 0)
        text[0] = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    union {
        TOKEN_USER user;
        BYTE bytes[256];
    } info;
    DWORD got = 0;
    wchar_t *sid = nullptr;
    bool ok = GetTokenInformation(token, TokenUser, &info, sizeof info, &got) &&
              ConvertSidToStringSidW(info.user.User.Sid, &sid);
    CloseHandle(token);
    ok = ok && Narrow(sid, wcslen(sid), text, (unsigned)size) < size && text[0];
    LocalFree(sid);
    return ok;
}

// The Task Scheduler of this machine, connected as the user who runs; its
// root folder. Ends what it started.
struct Scheduler {
    bool comStarted = false;
    ITaskService *service = nullptr;
    ITaskFolder *root = nullptr;
    ~Scheduler()
    {
        if (root)
            root->Release();
        if (service)
            service->Release();
        if (comStarted)
            CoUninitialize();
    }
};

static bool Connect(Scheduler *s)
{
    HRESULT started = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    s->comStarted = SUCCEEDED(started);
    VARIANT none;
    VariantInit(&none);
    BSTR rootPath = SysAllocString(L"\\");
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                         (void **)&s->service)) &&
              SUCCEEDED(s->service->Connect(none, none, none, none)) &&
              SUCCEEDED(s->service->GetFolder(rootPath, &s->root));
    SysFreeString(rootPath);
    return ok;
}

// A text of ours as a BSTR; null when it is not UTF-8.
static BSTR MakeBstr(const std::string &text)
{
    std::u16string wide;
    return Widen(text.c_str(), &wide) ? SysAllocStringLen(Wide(wide), (UINT)wide.size()) : nullptr;
}

static bool NotThere(HRESULT hr)
{
    return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

// The folder of a task's path ("\Folder" of "\Folder\Name"), with its result.
static HRESULT OpenFolder(Scheduler *s, const std::string &folder, ITaskFolder **out)
{
    BSTR name = MakeBstr(folder);
    HRESULT hr = name ? s->root->GetFolder(name, out) : E_INVALIDARG;
    SysFreeString(name);
    return hr;
}

bool TaskRegister(const char *path, const char *xml)
{
    std::string whole(path);
    size_t slash = whole.rfind('\\');
    Scheduler s;
    if (slash == std::string::npos || slash == 0 || !Connect(&s))
        return false;
    std::string folderPath = whole.substr(0, slash);
    ITaskFolder *folder = nullptr;
    HRESULT hr = OpenFolder(&s, folderPath, &folder);
    VARIANT none;
    VariantInit(&none);
    if (NotThere(hr)) {
        BSTR name = MakeBstr(folderPath);
        hr = name ? s.root->CreateFolder(name, none, &folder) : E_INVALIDARG;
        SysFreeString(name);
    }
    BSTR name = MakeBstr(whole.substr(slash + 1)), text = MakeBstr(xml);
    IRegisteredTask *task = nullptr;
    bool ok = SUCCEEDED(hr) && name && text &&
              SUCCEEDED(folder->RegisterTask(name, text, TASK_CREATE_OR_UPDATE, none, none,
                                             TASK_LOGON_INTERACTIVE_TOKEN, none, &task));
    if (task)
        task->Release();
    if (folder)
        folder->Release();
    SysFreeString(name);
    SysFreeString(text);
    return ok;
}

int TaskPresent(const char *path)
{
    Scheduler s;
    if (!Connect(&s))
        return -1;
    BSTR name = MakeBstr(path);
    IRegisteredTask *task = nullptr;
    HRESULT hr = name ? s.root->GetTask(name, &task) : E_INVALIDARG;
    SysFreeString(name);
    if (task)
        task->Release();
    return SUCCEEDED(hr) ? 1 : NotThere(hr) ? 0 : -1;
}

bool TaskDelete(const char *path)
{
    Scheduler s;
    if (!Connect(&s))
        return false;
    BSTR name = MakeBstr(path);
    HRESULT hr = name ? s.root->DeleteTask(name, 0) : E_INVALIDARG;
    SysFreeString(name);
    return SUCCEEDED(hr) || NotThere(hr);
}

// The security identifiers of the users who have a profile on the machine.
static std::vector<std::wstring> ProfileSids()
{
    std::vector<std::wstring> sids;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                      KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return sids;
    wchar_t name[256];
    for (DWORD i = 0, size = 256; RegEnumKeyExW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                                  ERROR_SUCCESS;
         i++, size = 256)
        sids.push_back(name);
    RegCloseKey(key);
    return sids;
}

// The names of the tasks in a folder, as the Task Scheduler lists them; false
// when it cannot.
static bool ListedTasks(ITaskFolder *folder, std::vector<std::wstring> *names)
{
    IRegisteredTaskCollection *tasks = nullptr;
    LONG count = 0;
    bool ok = SUCCEEDED(folder->GetTasks(TASK_ENUM_HIDDEN, &tasks)) && SUCCEEDED(tasks->get_Count(&count));
    for (LONG i = 1; ok && i <= count; i++) {  // the collection counts from 1
        VARIANT at;
        VariantInit(&at);
        at.vt = VT_I4;
        at.lVal = i;
        IRegisteredTask *task = nullptr;
        BSTR name = nullptr;
        ok = SUCCEEDED(tasks->get_Item(at, &task)) && SUCCEEDED(task->get_Name(&name));
        if (ok)
            names->push_back(name);
        SysFreeString(name);
        if (task)
            task->Release();
    }
    if (tasks)
        tasks->Release();
    return ok;
}

bool TaskFolderDelete(const char *folderPath, const char *namePrefix)
{
    Scheduler s;
    if (!Connect(&s))
        return false;
    ITaskFolder *folder = nullptr;
    HRESULT hr = OpenFolder(&s, folderPath, &folder);
    if (NotThere(hr))
        return true;
    if (FAILED(hr))
        return false;
    std::vector<std::wstring> names;
    std::u16string prefix;
    if (!ListedTasks(folder, &names) && Widen(namePrefix, &prefix))
        for (const std::wstring &sid : ProfileSids())
            names.push_back(Wide(prefix) + sid);
    bool ok = true;
    for (const std::wstring &n : names) {
        BSTR name = SysAllocString(n.c_str());
        HRESULT deleted = name ? folder->DeleteTask(name, 0) : E_OUTOFMEMORY;
        ok = ok && (SUCCEEDED(deleted) || NotThere(deleted));
        SysFreeString(name);
    }
    folder->Release();
    BSTR name = MakeBstr(folderPath);
    ok = ok && name && SUCCEEDED(s.root->DeleteFolder(name, 0));
    SysFreeString(name);
    return ok;
}
