#include "tests/testing.h"

#include "app/controls.h"
#include "app/windowcalls.h"

constexpr int IDC_STATUS_ID = IDC_STATUS;

#include <stdio.h>
#include <string.h>

#include <vector>

#include "base/filebytes.h"
#include "base/processvalues.h"
#include "platform/unicode.h"

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

const char kJapaneseName[] = "\u30c6\u30fc\u30de \u7530\u4e2d";
const char kCyrillicName[] = "\u0422\u0435\u043c\u0430 Zo\u00eb";
const char kUserName[] = "\u0141ukasz \u7530\u4e2d";

std::string Utf16Bytes(const std::string &utf8)
{
    std::u16string units;
    Utf8ToUtf16(utf8.c_str(), &units);
    std::string bytes;
    for (char16_t u : units) {
        bytes.push_back((char)(u & 0xFF));
        bytes.push_back((char)(u >> 8));
    }
    return bytes + std::string(2, '\0');
}

std::string UserDataFolder()
{
    char local[kPathSize];
    LocalAppDataFolder(local, sizeof local);
    std::string folder = std::string(local) + "\\Desktop Quennel";
    FolderCreate(folder.c_str());
    return folder;
}

std::string ProfileText(const std::string &path)
{
    std::string bytes = ReadWholeFile(path);
    if (bytes.compare(0, 2, "\xFF\xFE") != 0)
        return bytes;
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        units.push_back((char16_t)((unsigned char)bytes[i] | (unsigned char)bytes[i + 1] << 8));
    std::string text;
    Utf16ToUtf8(units.data(), units.size(), &text);
    return text;
}

void SetThemeFolder(const std::string &folder)
{
    if (folder.empty()) {
        ProfileWriteString("Zorva", "switcher", nullptr, "control.ini");
        return;
    }
    ProfileWriteString("Zorva", "switcher", folder.c_str(), "control.ini");
    if (ReadProfile("control.ini", "Zorva", "switcher") == folder)
        return;
    // An ANSI file: the same lines again in UTF-16 (the tests' lines are ASCII).
    std::string path = WinDir() + "\\control.ini", bytes = ReadWholeFile(path), wide = "\xFF\xFE";
    for (char c : bytes) {
        wide.push_back(c);
        wide.push_back(0);
    }
    WriteWholeFile(path, wide);
    ProfileWriteString("Zorva", "switcher", folder.c_str(), "control.ini");
}

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
    std::string all;
    return ReadFileBytes(path.c_str(), &all) ? all : "<missing>";
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

std::string ReadRegistry(RegRoot root, const char *path, const char *name, unsigned *type)
{
    PlatKey key;
    if (RegistryOpen(root, path, kKeyQueryValue, &key) != kErrorSuccess)
        return "<no key>";
    std::vector<char> buf(16384);
    uint32_t size = (uint32_t)buf.size();
    long rc = RegistryQueryText(key, name, buf.data(), &size, type);
    RegistryClose(key);
    return rc == kErrorSuccess ? std::string(buf.data()) : "<missing>";
}

void SetRegistry(RegRoot root, const char *path, const char *name, const char *text, unsigned type)
{
    PlatKey key;
    ASSERT_EQ(kErrorSuccess, RegistryCreate(root, path, kKeySetValue, &key)) << path;
    RegistrySetText(key, name, text, type);
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
            wchar_t text[4096] = L"";
            GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 4096);
            watch->text = Narrow(text);
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
    ASSERT_TRUE(MakeUserDataFolder(UserDataDir, sizeof UserDataDir));
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
    return CreateDirectoryW(Wide(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

void RemoveEmptyFolder(const std::string &path) { RemoveDirectoryW(Wide(path).c_str()); }

bool NameExists(const std::string &path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

// The folders NewFolder made for the test that runs; removed when it ends, so
// that the shared Temp folder does not fill with names that differ only in a
// few digits (Wine's hashed short names of such names collide).
static std::vector<std::string> MadeFolders;

// In the Temp folder, which is in the user's profile and so named after the
// user; or, for a name that must keep to the ANSI code page, in the drive's
// root folder.
static std::string NewFolderNamed(const char *name, bool inTemp)
{
    static int counter;
    wchar_t temp[MAX_PATH] = L"C:\\";
    if (inTemp)
        GetTempPathW(MAX_PATH, temp);
    for (;;) {
        std::string dir = Narrow(temp) + "quennel" + std::to_string(GetCurrentProcessId()) + "_" +
                          std::to_string(++counter) + " " + name;
        if (CreateDirectoryW(Wide(dir).c_str(), nullptr)) {
            MadeFolders.push_back(dir);
            return dir;
        }
    }
}

std::string NewFolder() { return NewFolderNamed(kJapaneseName, true); }
std::string NewAnsiFolder() { return NewFolderNamed("Th\u00e8mes", false); }

void RemoveFolderTree(const std::string &path)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = Narrow(found.cFileName);
            if (name == "." || name == "..")
                continue;
            std::string inner = path + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveFolderTree(inner);
            } else {
                SetFileAttributesW(Wide(inner).c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(Wide(inner).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(Wide(path).c_str());
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

static std::string BoxText(HWND box) { return Text(GetDlgItem(box, 0xFFFF)); }

int RunProbe(const std::string &program, const std::string &folder, const std::string &args,
             std::string *box)
{
    std::string source = TestFolder() + "\\" + program + ".exe";
    std::string copy = folder + "\\" + program + ".exe";
    if (!CopyFileW(Wide(source).c_str(), Wide(copy).c_str(), FALSE))
        return -1;
    std::wstring command = Wide("\"" + copy + "\" " + args);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string workDir = folder.size() == 2 ? folder + "\\" : folder;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, Wide(workDir).c_str(), &si, &pi))
        return -2;
    box->clear();

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
    return (int)ProcessEnd(pi, kPatience);
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
    // The program's own folder exists, as it does for a program that runs,
    // and so does the user's folder for its files.
    std::error_code ignored;
    std::filesystem::create_directories(HostPath("C:\\Program Files\\Desktop Quennel"), ignored);
    ASSERT_TRUE(MakeUserDataFolder(UserDataDir, sizeof UserDataDir));
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

static std::string NewFolderNamed(const char *name)
{
    static int counter;
    std::string dir = "C:\\folder" + std::to_string(++counter) + " " + name;
    mkdir(HostPath(dir.c_str()).c_str(), 0755);
    return dir;
}

std::string NewFolder() { return NewFolderNamed(kJapaneseName); }
std::string NewAnsiFolder() { return NewFolderNamed("Th\u00e8mes"); }

bool NameExists(const std::string &path)
{
    struct stat st;
    return stat(HostPath(path.c_str()).c_str(), &st) == 0;
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
