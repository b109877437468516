#include "tests/testing.h"

#include "app/appglobals.h"
#include "app/windowcalls.h"

constexpr int IDC_STATUS_ID = IDC_STATUS;

#include <stdio.h>
#include <string.h>

#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "tests/wintesting.h"
#else
#include "platform/host/host.h"
#include <stdlib.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

std::string MainStatusText()
{
    char status[200] = "";
    WindowGetText(WindowItem(MainWindow, IDC_STATUS_ID), status, sizeof status);
    return status;
}

std::string WinDir()
{
    char dir[261];
    WindowsFolder(dir, sizeof dir);
    return dir;
}

std::string ReadWholeFile(const std::string &path)
{
    PlatFile *f = FileOpen(path.c_str(), "rb");
    if (!f)
        return "<missing>";
    std::string all;
    char chunk[4096];
    size_t n;
    while ((n = FileRead(chunk, sizeof chunk, f)) > 0)
        all.append(chunk, n);
    FileClose(f);
    return all;
}

void WriteWholeFile(const std::string &path, const std::string &bytes)
{
    PlatFile *f = FileOpen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << path;
    ASSERT_EQ(bytes.size(), FileWrite(bytes.data(), bytes.size(), f));
    FileClose(f);
}

std::string RegistryBytes(RegRoot root, const char *path, const char *name, long *rc)
{
    PlatKey key;
    long result = RegistryOpen(root, path, kKeyQueryValue, &key);
    std::string bytes = "<no key>";
    if (result == kErrorSuccess) {
        std::vector<char> buf(16384);
        uint32_t size = (uint32_t)buf.size();
        result = RegistryQuery(key, name, buf.data(), &size);
        RegistryClose(key);
        bytes = result == kErrorSuccess ? std::string(buf.data(), size) : "<missing>";
    }
    if (rc)
        *rc = result;
    return bytes;
}

std::string ReadRegistry(RegRoot root, const char *path, const char *name)
{
    long rc;
    std::string text = RegistryBytes(root, path, name, &rc);
    if (rc == kErrorSuccess && !text.empty() && text.back() == 0)
        text.pop_back();
    return text;
}

void SetRegistry(RegRoot root, const char *path, const char *name, const char *text)
{
    PlatKey key;
    ASSERT_EQ(kErrorSuccess, RegistryCreate(root, path, kKeySetValue, &key)) << path;
    RegistrySetText(key, name, text);
    RegistryClose(key);
}

void MakeKey(RegRoot root, const char *path)
{
    PlatKey key;
    ASSERT_EQ(kErrorSuccess, RegistryCreate(root, path, kKeySetValue, &key)) << path;
    RegistryClose(key);
}

std::string ReadProfile(const std::string &file, const char *section, const char *key, const char *absent)
{
    std::vector<char> buf(16384);
    ProfileGetString(section, key, absent, buf.data(), (unsigned)buf.size(), file.c_str());
    return buf.data();
}

bool FileExists(const std::string &path)
{
    PlatFile *f = FileOpen(path.c_str(), "rb");
    if (f)
        FileClose(f);
    return f != nullptr;
}

#ifdef _WIN32

PlatWindow MakeTestMainWindow()
{
    HWND main = CreateWindowA("STATIC", "Desktop Quennel", WS_OVERLAPPED, 0, 0, 300, 200, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 180, 300, 20, main, (HMENU)(INT_PTR)IDC_STATUS_ID,
                  GetModuleHandleA(nullptr), nullptr);
    MainWindow = (PlatWindow)main;
    ConnectWindowCalls();
    return MainWindow;
}

struct BoxWatch {
    const char *caption;
    std::string text;
    volatile bool stop;
};

static DWORD WINAPI WatchForBox(LPVOID p)
{
    BoxWatch *watch = (BoxWatch *)p;
    while (!watch->stop) {
        HWND box = ProcessWindow(GetCurrentProcessId(), "#32770", watch->caption);
        if (box) {
            char text[4096] = "";
            GetWindowTextA(GetDlgItem(box, 0xFFFF), text, sizeof text);
            watch->text = text;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(10);
    }
    return 0;
}

std::string WatchBox(const char *caption, void (*action)(void *), void *context)
{
    BoxWatch watch{caption, "<none>", false};
    HANDLE thread = CreateThread(nullptr, 0, WatchForBox, &watch, 0, nullptr);
    action(context);
    watch.stop = true;
    WaitForSingleObject(thread, kPatience);
    CloseHandle(thread);
    return watch.text;
}

// Under Wine every test of a run shares one prefix: each test leaves the
// colours (registry and live) and the metrics as it found them.
static const char *const kColorNames[31] = {
    "Scrollbar", "Background", "ActiveTitle", "InactiveTitle", "Menu", "Window", "WindowFrame", "MenuText",
    "WindowText", "TitleText", "ActiveBorder", "InactiveBorder", "AppWorkspace", "Hilight", "HilightText",
    "ButtonFace", "ButtonShadow", "GrayText", "ButtonText", "InactiveTitleText", "ButtonHilight",
    "ButtonDkShadow", "ButtonLight", "InfoText", "InfoWindow", "ButtonAlternateFace", "HotTrackingColor",
    "GradientActiveTitle", "GradientInactiveTitle", "MenuHilight", "MenuBar"};

static struct {
    std::string texts[31];
    uint32_t live[31];
    ICONMETRICSA icon;
    NONCLIENTMETRICSA nonclient;
} Saved;

void MachineTest::SetUp()
{
    for (int i = 0; i < 31; i++) {
        std::string text = ReadRegistry(kRegCurrentUser, "Control Panel\\Colors", kColorNames[i]);
        Saved.texts[i] = text == "<no key>" || text == "<missing>" ? "" : text;
        Saved.live[i] = GetSysColor(i);
    }
    Saved.icon.cbSize = sizeof Saved.icon;
    SystemParametersInfoA(SPI_GETICONMETRICS, sizeof Saved.icon, &Saved.icon, 0);
    Saved.nonclient.cbSize = 340;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 340, &Saved.nonclient, 0);
}

MachineTest::~MachineTest() {}

void MachineTest::TearDown()
{
    for (int i = 0; i < 31; i++)
        SetRegistry(kRegCurrentUser, "Control Panel\\Colors", kColorNames[i], Saved.texts[i].c_str());
    int elements[31];
    for (int i = 0; i < 31; i++)
        elements[i] = i;
    SetSysColors(31, elements, (const COLORREF *)Saved.live);
    SystemParametersInfoA(SPI_SETICONMETRICS, 0, &Saved.icon, SPIF_UPDATEINIFILE);
    SystemParametersInfoA(SPI_SETNONCLIENTMETRICS, 0, &Saved.nonclient, SPIF_UPDATEINIFILE);
}

bool MakeFolder(const std::string &path)
{
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveEmptyFolder(const std::string &path) { RemoveDirectoryA(path.c_str()); }

// The folders NewFolder made for the test that runs; removed when it ends, so
// that the shared Temp folder does not fill with names that differ only in a
// few digits (Wine's hashed short names of such names collide).
static std::vector<std::string> MadeFolders;

std::string NewFolder()
{
    static int counter;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (;;) {
        char dir[MAX_PATH];
        snprintf(dir, sizeof dir, "%squennel%lu_%d", temp, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(dir, nullptr)) {
            MadeFolders.push_back(dir);
            return dir;
        }
    }
}

void RemoveFolderTree(const std::string &path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string inner = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolderTree(inner);
            } else {
                SetFileAttributesA(inner.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(inner.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

// Removes what NewFolder made after each test, whatever its fixture.
class FolderSweeper : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo &) override
    {
        for (const std::string &dir : MadeFolders)
            RemoveFolderTree(dir);
        MadeFolders.clear();
    }
};

static bool SweeperAdded = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FolderSweeper);
    return true;
}();

static std::string BoxText(HWND box)
{
    char text[4096] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text, (LPARAM)text,
                        SMTO_ABORTIFHUNG, 2000, &length);
    return text;
}

int RunProbe(const std::string &program, const std::string &folder, const std::string &args,
             std::string *box)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    *strrchr(self, '\\') = 0;
    std::string source = std::string(self) + "\\" + program + ".exe";
    std::string copy = folder + "\\" + program + ".exe";
    if (!CopyFileA(source.c_str(), copy.c_str(), FALSE))
        return -1;
    std::string command = "\"" + copy + "\" " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string workDir = folder.size() == 2 ? folder + "\\" : folder;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, workDir.c_str(), &si, &pi))
        return -2;
    box->clear();
    DWORD code = 9999;
    for (DWORD start = GetTickCount(); GetTickCount() - start < kPatience; Sleep(20)) {
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        HWND found = FindWindowA("#32770", "Assertion Error");
        if (found) {
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (owner == pi.dwProcessId && box->empty()) {
                *box = BoxText(found);
                PostMessageA(found, WM_COMMAND, IDOK, 0);
            }
        }
    }
    if (WaitForSingleObject(pi.hProcess, kPatience) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 9999);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return (int)code;
}

#else

PlatWindow MakeTestMainWindow()
{
    MainWindow = HostMakeWindow(nullptr, 0, "Desktop Quennel");
    HostMakeWindow(MainWindow, IDC_STATUS_ID, "");
    ConnectWindowCalls();
    return MainWindow;
}

std::string WatchBox(const char *caption, void (*action)(void *), void *context)
{
    size_t before = HostLiveState().boxes.size();
    action(context);
    std::vector<HostBox> boxes = HostLiveState().boxes;
    for (size_t i = before; i < boxes.size(); i++)
        if (boxes[i].caption == caption)
            return boxes[i].text;
    return "<none>";
}

void MachineTest::SetUp()
{
    // In memory when the system has it: the profile functions rewrite whole
    // files, which a disk file system makes slow for the sweeps over writes.
    char tmpl[64];
    snprintf(tmpl, sizeof tmpl, "%s/quennel-test-XXXXXX", access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    ASSERT_NE(nullptr, mkdtemp(tmpl));
    drive = tmpl;
    HostReset(tmpl);
    // The program's own folder exists, as it does for a program that runs.
    std::error_code ignored;
    std::filesystem::create_directories(HostPath("C:\\Program Files\\Desktop Quennel"), ignored);
}

void MachineTest::TearDown()
{
    std::error_code ignored;
    std::filesystem::remove_all(HostPath("C:\\"), ignored);
}

MachineTest::~MachineTest()
{
    std::error_code ignored;
    if (!drive.empty())
        std::filesystem::remove_all(drive, ignored);
}

bool MakeFolder(const std::string &path)
{
    std::error_code ignored;
    std::filesystem::create_directory(HostPath(path.c_str()), ignored);
    return std::filesystem::is_directory(HostPath(path.c_str()));
}

void RemoveEmptyFolder(const std::string &path)
{
    std::error_code ignored;
    std::filesystem::remove(HostPath(path.c_str()), ignored);
}

void RemoveFolderTree(const std::string &path)
{
    std::error_code ignored;
    std::filesystem::remove_all(HostPath(path.c_str()), ignored);
}

std::string NewFolder()
{
    static int counter;
    std::string dir = "C:\\folder" + std::to_string(++counter);
    mkdir(HostPath(dir.c_str()).c_str(), 0755);
    return dir;
}

// The probe runs natively against a simulated machine on the same drive
// folder, believing itself at folder\program.exe; its box goes to stderr.
int RunProbe(const std::string &program, const std::string &folder, const std::string &args,
             std::string *box)
{
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return -1;
    self[n] = 0;
    *strrchr(self, '/') = 0;
    std::string root = HostPath("C:\\");
    const char errFile[] = "C:\\probe-stderr.txt";
    std::string command = "QUENNEL_HOST_ROOT='" + root + "' QUENNEL_HOST_MODULE='" + folder + "\\" +
                          program + ".exe' '" + self + "/" + program + "' " + args + " 2>'" + HostPath(errFile) + "'";
    int status = system(command.c_str());
    *box = ReadWholeFile(errFile);
    if (*box == "<missing>")
        box->clear();
    FileDelete(errFile);
    const std::string prefix = "[Assertion Error] ";
    if (box->compare(0, prefix.size(), prefix) == 0) {
        box->erase(0, prefix.size());
        if (!box->empty() && box->back() == '\n')
            box->pop_back();
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -3;
}

#endif

uint64_t Fnv1a(const void *bytes, size_t n)
{
    const uint8_t *p = (const uint8_t *)bytes;
    uint64_t h = 14695981039346656037ull;
    for (size_t i = 0; i < n; i++)
        h = (h ^ p[i]) * 1099511628211ull;
    return h;
}
