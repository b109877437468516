// The platform operations' contracts. The same tests run natively against the
// simulated Windows and under Wine against the real functions: where they
// agree, the simulation is faithful.
#include "base/bounded.h"
#include "platform/records.h"
#include "tests/testing.h"

#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {

const char kTestKey[] = "Software\\QuennelTest";

class Registry : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        RegistryDeleteTree(kRegCurrentUser, kTestKey);
    }
    void TearDown() override
    {
        RegistryDeleteTree(kRegCurrentUser, kTestKey);
        MachineTest::TearDown();
    }
};

TEST_F(Registry, WriteToMissingKeyCreatesNothing)
{
    PlatKey key = (PlatKey)1;
    EXPECT_EQ(kErrorFileNotFound, RegistryOpen(kRegCurrentUser, "Software\\QuennelTest\\Missing", kKeySetValue, &key));
    EXPECT_EQ(nullptr, key);
    EXPECT_NE(kErrorSuccess, RegistrySetText(key, "Value", "text"));
    EXPECT_EQ(kErrorFileNotFound, RegistryOpen(kRegCurrentUser, kTestKey, kKeyQueryValue, &key));
}

// Texts are stored as the system stores them, in UTF-16 with their zero, in
// every letter: a key, a value name and a text outside the ANSI code page
// come back whole, and with their type.
TEST_F(Registry, TextsKeepEveryLetterAndTheirType)
{
    const std::string colors = std::string("Software\\QuennelTest\\") + kJapaneseName;
    const std::string path = std::string("C:\\users\\") + kUserName + "\\" + kCyrillicName + "\\arrow.cur";
    PlatKey key;
    ASSERT_EQ(kErrorSuccess, RegistryCreate(kRegCurrentUser, colors.c_str(), kKeySetValue, &key));
    EXPECT_EQ(kErrorSuccess, RegistrySetText(key, "ActiveTitle", "0 0 128"));
    EXPECT_EQ(kErrorSuccess, RegistrySetText(key, nullptr, "default text"));
    EXPECT_EQ(kErrorSuccess, RegistrySetText(key, "Empty", ""));
    EXPECT_EQ(kErrorSuccess, RegistrySetText(key, kCyrillicName, path.c_str()));
    EXPECT_EQ(kErrorSuccess, RegistrySetText(key, "Expand", "%SystemRoot%\\cursors\\arrow.cur", kRegExpandSz));
    EXPECT_EQ(kErrorInvalidParameter, RegistrySetText(key, "Bad", "\xC3("));
    EXPECT_EQ(kErrorSuccess, RegistryFlush(key));
    EXPECT_EQ(kErrorSuccess, RegistryClose(key));

    EXPECT_EQ(Utf16Bytes("0 0 128"), RegistryBytes(kRegCurrentUser, colors.c_str(), "ActiveTitle"));
    EXPECT_EQ(Utf16Bytes("default text"), RegistryBytes(kRegCurrentUser, colors.c_str(), ""));
    EXPECT_EQ(std::string(2, '\0'), RegistryBytes(kRegCurrentUser, colors.c_str(), "Empty"));
    EXPECT_EQ(Utf16Bytes(path), RegistryBytes(kRegCurrentUser, colors.c_str(), kCyrillicName));
    unsigned type = 0;
    EXPECT_EQ(path, ReadRegistry(kRegCurrentUser, colors.c_str(), kCyrillicName, &type));
    EXPECT_EQ(kRegSz, type);
    EXPECT_EQ("%SystemRoot%\\cursors\\arrow.cur", ReadRegistry(kRegCurrentUser, colors.c_str(), "Expand", &type));
    EXPECT_EQ(kRegExpandSz, type);
    EXPECT_EQ("<missing>", ReadRegistry(kRegCurrentUser, colors.c_str(), "Bad"));
    // Key paths and value names ignore case.
    EXPECT_EQ("0 0 128", ReadRegistry(kRegCurrentUser, ("SOFTWARE\\quenneltest\\" + std::string(kJapaneseName)).c_str(),
                                      "activetitle"));
}

TEST_F(Registry, QueryResults)
{
    PlatKey key;
    ASSERT_EQ(kErrorSuccess, RegistryCreate(kRegCurrentUser, kTestKey, kKeySetValue | kKeyQueryValue, &key));
    RegistrySetText(key, "Long", "0123456789");
    char buf[8];
    uint32_t size = sizeof buf;
    EXPECT_EQ(kErrorMoreData, RegistryQuery(key, "Long", buf, &size));
    EXPECT_EQ(22u, size);
    // A text that does not fit is refused, and the size it needs told.
    memset(buf, '#', sizeof buf);
    size = sizeof buf;
    EXPECT_EQ(kErrorMoreData, RegistryQueryText(key, "Long", buf, &size, nullptr));
    EXPECT_EQ(11u, size);
    EXPECT_EQ(0, buf[0]);
    size = 11;
    char fits[11];
    EXPECT_EQ(kErrorSuccess, RegistryQueryText(key, "Long", fits, &size, nullptr));
    EXPECT_STREQ("0123456789", fits);
    size = sizeof buf;
    EXPECT_EQ(kErrorFileNotFound, RegistryQuery(key, "Missing", buf, &size));
    size = sizeof buf;
    EXPECT_EQ(kErrorFileNotFound, RegistryQuery(key, nullptr, buf, &size)) << "a default value never set";
    uint32_t dword = 0x01020304;
    RegistrySetValue(key, "Number", kRegDword, &dword, 4);
    size = sizeof buf;
    EXPECT_EQ(kErrorSuccess, RegistryQuery(key, "Number", buf, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0, memcmp(buf, "\x04\x03\x02\x01", 4));
    size = sizeof buf;
    EXPECT_EQ(kErrorUnsupportedType, RegistryQueryText(key, "Number", buf, &size, nullptr));
    EXPECT_EQ(kErrorSuccess, RegistryDeleteValue(key, "LONG"));
    EXPECT_EQ(kErrorFileNotFound, RegistryDeleteValue(key, "Long"));
    size = sizeof buf;
    EXPECT_EQ(kErrorFileNotFound, RegistryQuery(key, "Long", buf, &size));
    RegistryClose(key);
}

TEST_F(Registry, QueryAccessCannotWrite)
{
    PlatKey key;
    ASSERT_EQ(kErrorSuccess, RegistryCreate(kRegCurrentUser, kTestKey, kKeySetValue, &key));
    RegistryClose(key);
    ASSERT_EQ(kErrorSuccess, RegistryOpen(kRegCurrentUser, kTestKey, kKeyQueryValue, &key));
    EXPECT_EQ(kErrorAccessDenied, RegistrySetText(key, "Value", "text"));
    RegistryClose(key);
    long rc;
    RegistryBytes(kRegCurrentUser, kTestKey, "Value", &rc);
    EXPECT_EQ(kErrorFileNotFound, rc);
}

using Profile = MachineTest;

TEST_F(Profile, ReadsWithDefaultsAndRefusesWhatDoesNotFit)
{
    std::string file = NewFolder() + "\\test.theme";
    WriteWholeFile(file, "[Control Panel\\Colors]\r\nActiveTitle=0 0 128\r\n  Spaced  =  a b  \r\n"
                         "Quoted=\"q r\"\r\n[Metrics]\nIconMetrics=76 0 0 0\n");
    char buf[261];
    EXPECT_EQ(7u, ProfileGetString("Control Panel\\Colors", "ActiveTitle", "", buf, sizeof buf, file.c_str()));
    EXPECT_STREQ("0 0 128", buf);
    EXPECT_EQ("0 0 128", ReadProfile(file, "CONTROL PANEL\\colors", "activetitle"));
    EXPECT_EQ("a b", ReadProfile(file, "Control Panel\\Colors", "Spaced"));
    EXPECT_EQ("q r", ReadProfile(file, "Control Panel\\Colors", "Quoted"));
    EXPECT_EQ("76 0 0 0", ReadProfile(file, "Metrics", "IconMetrics"));

    // Missing key, section or file: the default, without its trailing blanks.
    EXPECT_EQ(6u, ProfileGetString("Control Panel\\Colors", "Missing", "(None)", buf, sizeof buf, file.c_str()));
    EXPECT_STREQ("(None)", buf);
    EXPECT_EQ("16", ReadProfile(file, "No Section", "ActiveTitle", "16"));
    EXPECT_EQ("x", ReadProfile(NewFolder() + "\\none.ini", "boot", "SCRNSAVE.EXE", "x  "));

    // A text longer than the buffer is refused, never cut: the buffer gets ""
    // and the length tells what it needs.
    char small[7];
    memset(small, '#', sizeof small);
    EXPECT_EQ(7u, ProfileGetString("Control Panel\\Colors", "ActiveTitle", "", small, sizeof small, file.c_str()));
    EXPECT_STREQ("", small);
    EXPECT_EQ(9u, ProfileGetString("x", "y", "defaulted", small, sizeof small, file.c_str()));
    EXPECT_STREQ("", small);
    char exact[8];
    EXPECT_EQ(7u, ProfileGetString("Control Panel\\Colors", "ActiveTitle", "", exact, sizeof exact, file.c_str()));
    EXPECT_STREQ("0 0 128", exact);
}

// A file made by the profile functions holds the ANSI code page, where the
// letters outside it are lost; one that starts with the UTF-16 mark keeps
// every letter, and stays UTF-16.
TEST_F(Profile, OnlyUtf16FilesKeepEveryLetter)
{
    const std::string value = std::string("C:\\") + kJapaneseName + "\\" + kCyrillicName;
    std::string ansi = NewFolder() + "\\ansi.theme";
    ASSERT_TRUE(ProfileWriteString("Control Panel\\Cursors", "Arrow", value.c_str(), ansi.c_str()));
    EXPECT_EQ("C:\\??? ??\\???? Zo\u00eb", ReadProfile(ansi, "Control Panel\\Cursors", "Arrow"));
    EXPECT_EQ("[Control Panel\\Cursors]\r\nArrow=C:\\??? ??\\???? Zo\xeb\r\n", ReadWholeFile(ansi));

    std::string wide = NewFolder() + "\\" + kCyrillicName + ".theme";
    WriteWholeFile(wide, "\xFF\xFE");
    ASSERT_TRUE(ProfileWriteString("Control Panel\\Cursors", "Arrow", value.c_str(), wide.c_str()));
    ASSERT_TRUE(ProfileWriteString(kJapaneseName, kCyrillicName, "x", wide.c_str()));
    EXPECT_EQ(value, ReadProfile(wide, "Control Panel\\Cursors", "Arrow"));
    EXPECT_EQ("x", ReadProfile(wide, kJapaneseName, kCyrillicName));
    std::string bytes = ReadWholeFile(wide);
    EXPECT_EQ("\xFF\xFE", bytes.substr(0, 2));
    EXPECT_NE(std::string::npos, bytes.find(Utf16Bytes("Arrow=" + value).substr(0, 2 * 20))) << "UTF-16 text";
}

TEST_F(Profile, WritesCreateAndReplace)
{
    std::string file = NewFolder() + "\\made.theme";
    EXPECT_TRUE(ProfileWriteString("Control Panel\\Colors", "ActiveTitle", "1 2 3", file.c_str()));
    EXPECT_TRUE(ProfileWriteString("Metrics", "IconMetrics", "76 0 0 0 ", file.c_str()));
    EXPECT_TRUE(ProfileWriteString("control panel\\colors", "Background", "4 5 6", file.c_str()));
    EXPECT_TRUE(ProfileWriteString("Control Panel\\Colors", "ACTIVETITLE", "7 8 9", file.c_str()));
    EXPECT_TRUE(ProfileWriteString("Metrics", "Gone", "x", file.c_str()));
    EXPECT_TRUE(ProfileWriteString("Metrics", "Gone", nullptr, file.c_str()));
    EXPECT_EQ("7 8 9", ReadProfile(file, "Control Panel\\Colors", "ActiveTitle"));
    EXPECT_EQ("4 5 6", ReadProfile(file, "Control Panel\\Colors", "Background"));
    EXPECT_EQ("none", ReadProfile(file, "Metrics", "Gone", "none"));
    std::string text = ReadWholeFile(file);
    EXPECT_LT(text.find("[Control Panel\\Colors]"), text.find("[Metrics]")) << text;
    EXPECT_LT(text.find("Background=4 5 6"), text.find("[Metrics]")) << text;
    // The value is stored without its trailing blank; sections follow each other
    // without blank lines.
    EXPECT_NE(std::string::npos, text.find("Background=4 5 6\r\n[Metrics]\r\nIconMetrics=76 0 0 0\r\n")) << text;

    // The file rewritten behind the functions' back, at once and to the same
    // length, reads as it is now.
    text.replace(text.find("7 8 9"), 5, "9 8 7");
    WriteWholeFile(file, text);
    EXPECT_EQ("9 8 7", ReadProfile(file, "Control Panel\\Colors", "ActiveTitle"));
}

TEST_F(Profile, BareNameMeansWindowsFolder)
{
    EXPECT_TRUE(ProfileWriteString("Zorva", "switcher", "C:\\Themes", "control.ini"));
    EXPECT_EQ("C:\\Themes", ReadProfile("control.ini", "Zorva", "switcher"));
    std::string full = WinDir() + "\\control.ini";
    EXPECT_EQ("C:\\Themes", ReadProfile(full, "Zorva", "switcher"));
    EXPECT_NE(std::string::npos, ReadWholeFile(full).find("switcher=C:\\Themes"));
    ProfileWriteString("Zorva", "switcher", nullptr, "control.ini");
}

using Files = MachineTest;

TEST_F(Files, TextModeLineEnds)
{
    std::string path = NewFolder() + "\\lines.txt";
    PlatFile *f = FileOpen(path.c_str(), "at");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(6u, FileWrite("a\nbc\n\n", 6, f));
    FileClose(f);
    f = FileOpen(path.c_str(), "at");
    FileWrite("d", 1, f);
    FileClose(f);
    EXPECT_EQ("a\r\nbc\r\n\r\nd", ReadWholeFile(path));

    f = FileOpen(path.c_str(), "r");
    ASSERT_NE(nullptr, f);
    char line[16];
    ASSERT_NE(nullptr, FileGets(line, sizeof line, f));
    EXPECT_STREQ("a\n", line);
    FileGets(line, sizeof line, f);
    EXPECT_STREQ("bc\n", line);
    FileGets(line, sizeof line, f);
    EXPECT_STREQ("\n", line);
    EXPECT_FALSE(FileEof(f));
    ASSERT_NE(nullptr, FileGets(line, sizeof line, f));
    EXPECT_STREQ("d", line);
    EXPECT_TRUE(FileEof(f)) << "a last line without a line end meets the end of the file";
    EXPECT_EQ(nullptr, FileGets(line, sizeof line, f));
    FileClose(f);
}

// Folders and files named outside the ANSI code page are made, read, moved
// and deleted under exactly their names.
TEST_F(Files, NamesKeepEveryLetter)
{
    std::string dir = NewFolder() + "\\" + kCyrillicName;
    EXPECT_TRUE(FolderCreate(dir.c_str()));
    EXPECT_TRUE(FolderCreate(dir.c_str())) << "a folder that is there already";
    EXPECT_TRUE(NameExists(dir));
    std::string a = dir + "\\" + kJapaneseName + ".bmp", b = dir + "\\\u0141.sav";
    PlatFile *f = FileOpen(a.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    FileWrite("bytes", 5, f);
    FileClose(f);
    EXPECT_TRUE(NameExists(a));
    EXPECT_TRUE(FileMove(a.c_str(), b.c_str()));
    EXPECT_FALSE(NameExists(a));
    EXPECT_EQ("bytes", ReadWholeFile(b));
    EXPECT_TRUE(FileDelete(b.c_str()));
    EXPECT_FALSE(NameExists(b));
    EXPECT_EQ(nullptr, FileOpen("C:\\\xC3(", "rb")) << "a name that is not UTF-8";
}

TEST_F(Files, NamesIgnoreCase)
{
    std::string dir = WinDir();
    WriteWholeFile(dir + "\\Zorva the Vandrel.sav", "saved");
    EXPECT_EQ("saved", ReadWholeFile(dir + "\\Zorva The Vandrel.SAV"));
    EXPECT_TRUE(FileDelete((dir + "\\ZORVA THE VANDREL.Sav").c_str()));
    EXPECT_FALSE(FileExists(dir + "\\Zorva the Vandrel.sav"));
    EXPECT_FALSE(FileDelete((dir + "\\Zorva the Vandrel.sav").c_str()));
}

TEST_F(Files, MoveAndLength)
{
    std::string dir = NewFolder();
    std::string a = dir + "\\a.bmp", b = dir + "\\b.bmp";
    WriteWholeFile(a, std::string(4096, 'a'));
    WriteWholeFile(b, "b");
    EXPECT_FALSE(FileMove(a.c_str(), b.c_str())) << "the target exists";
    EXPECT_TRUE(FileDelete(b.c_str()));
    EXPECT_TRUE(FileMove(a.c_str(), b.c_str()));
    EXPECT_FALSE(FileExists(a));
    PlatFile *f = FileOpen(b.c_str(), "rb");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(4096, FileLength(f));
    char buf[5000];
    EXPECT_EQ(4096u, FileRead(buf, sizeof buf, f));
    EXPECT_EQ(0u, FileRead(buf, sizeof buf, f));
    EXPECT_TRUE(FileEof(f));
    FileClose(f);
    EXPECT_FALSE(FileMove((dir + "\\missing").c_str(), a.c_str()));
    EXPECT_EQ(nullptr, FileOpen((dir + "\\missing").c_str(), "rb"));
    EXPECT_EQ(nullptr, FileOpen(dir.c_str(), "rb")) << "a folder is no file";
}

// A file made now never opens another's; a replace takes the name in one
// step whether or not a file has it; a flush needs a file.
TEST_F(Files, MadeNewReplacedAndFlushed)
{
    std::string dir = NewFolder();
    std::string a = dir + "\\a.tmp", b = dir + "\\b.bmp", missing = dir + "\\missing";
    PlatFile *f = FileOpen(a.c_str(), "wbx");
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(3u, FileWrite("new", 3, f));
    EXPECT_EQ(0, FileClose(f));
    EXPECT_EQ(nullptr, FileOpen(a.c_str(), "wbx")) << "a file of that name is there";
    EXPECT_EQ("new", ReadWholeFile(a)) << "and it is kept";
    EXPECT_TRUE(FileFlushToDisk(a.c_str()));
    EXPECT_FALSE(FileFlushToDisk(missing.c_str()));
    WriteWholeFile(b, "old");
    EXPECT_TRUE(FileReplace(a.c_str(), b.c_str()));
    EXPECT_EQ("new", ReadWholeFile(b));
    EXPECT_FALSE(FileExists(a));
    EXPECT_TRUE(FileReplace(b.c_str(), a.c_str())) << "no file has the name";
    EXPECT_EQ("new", ReadWholeFile(a));
    EXPECT_FALSE(FileReplace(missing.c_str(), a.c_str()));
    EXPECT_EQ("new", ReadWholeFile(a)) << "a failed replace keeps the file that has the name";
}

// A named mutex is made once; every later call for the name, while the
// process that made it runs, finds it there.
TEST(Process, NamedMutexMadeOnce)
{
    static int counter;
    std::string name = "Local\\Quennel test " + std::to_string(ProcessIdentifier()) + " " + std::to_string(++counter);
    EXPECT_TRUE(SessionMutexCreate(name.c_str()));
    EXPECT_FALSE(SessionMutexCreate(name.c_str()));
    EXPECT_TRUE(SessionMutexCreate((name + " other").c_str()));
}

TEST_F(Files, Folders)
{
    std::string win = WinDir();
    ASSERT_GT(win.size(), 2u);
    EXPECT_NE('\\', win.back());
    char small[3];
    EXPECT_EQ(win.size() + 1, WindowsFolder(small, sizeof small));

    char module[kPathSize];
    unsigned n = ModuleFileName(module, sizeof module);
    EXPECT_EQ(strlen(module), n);
    EXPECT_NE(nullptr, strrchr(module, '\\'));
    char tooSmall[4];
    EXPECT_EQ(0u, ModuleFileName(tooSmall, sizeof tooSmall));
    EXPECT_STREQ("", tooSmall) << "refused, never cut";

    // The user's own folder for programs' data, under the profile that is
    // named after the user.
    char local[kPathSize];
    ASSERT_NE(0u, LocalAppDataFolder(local, sizeof local));
    EXPECT_NE(std::string::npos, std::string(local).find(kUserName)) << local;
    EXPECT_TRUE(NameExists(local));

    std::string path = NewFolder() + "\\A Long Name.theme";
    WriteWholeFile(path, "x");
    char shortPath[kPathSize];
    ASSERT_NE(0u, ShortPathName(path.c_str(), shortPath, sizeof shortPath));
    EXPECT_EQ("x", ReadWholeFile(shortPath));
    strcpy(shortPath, "unchanged");
    EXPECT_EQ(0u, ShortPathName((path + ".missing").c_str(), shortPath, sizeof shortPath));
}

using Settings = MachineTest;

TEST_F(Settings, MetricRecordsNeedTheirSize)
{
    IconMetricsRecord icon = {};
    icon.cbSize = sizeof icon;
    ASSERT_TRUE(SystemParameters(kSpiGetIconMetrics, sizeof icon, &icon, 0));
    EXPECT_EQ(76u, icon.cbSize);
    EXPECT_GT(icon.iHorzSpacing, 0);
    EXPECT_NE(0, icon.lfFont.lfFaceName[0]);
    NonclientMetricsRecord nc = {};
    nc.cbSize = sizeof nc;
    ASSERT_TRUE(SystemParameters(kSpiGetNonclientMetrics, sizeof nc, &nc, 0));
    EXPECT_EQ(340u, nc.cbSize);
    EXPECT_GT(nc.iCaptionHeight, 0);
    EXPECT_NE(0, nc.lfCaptionFont.lfHeight);

    IconMetricsRecord wrong = {};
    wrong.cbSize = 75;
    EXPECT_FALSE(SystemParameters(kSpiGetIconMetrics, sizeof wrong, &wrong, 0));

    // Setting what is there changes nothing visible and succeeds.
    EXPECT_TRUE(SystemParameters(kSpiSetIconMetrics, 0, &icon, 0));
    IconMetricsRecord again = {};
    again.cbSize = sizeof again;
    SystemParameters(kSpiGetIconMetrics, sizeof again, &again, 0);
    EXPECT_EQ(icon.iHorzSpacing, again.iHorzSpacing);
    EXPECT_STREQ(icon.lfFont.lfFaceName, again.lfFont.lfFaceName);
}

TEST_F(Settings, SysColorsChangeTogether)
{
    const int elements[2] = {15, 2};  // button face, active caption
    uint32_t before[2] = {SysColorGet(15), SysColorGet(2)};
    const uint32_t colors[2] = {0x00123456, 0x00654321};
    EXPECT_TRUE(SysColorsSet(2, elements, colors));
    EXPECT_EQ(0x00123456u, SysColorGet(15));
    EXPECT_EQ(0x00654321u, SysColorGet(2));
    SysColorsSet(2, elements, before);
}

std::atomic<int> GateOpen;

unsigned long WaitAtGate(void *)
{
    while (!GateOpen)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 1;
}

using Threads = MachineTest;

unsigned long Quick(void *p)
{
    *(int *)p = 42;
    return 1;
}

TEST_F(Threads, StartAndWait)
{
    int value = 0;
    PlatThread t = ThreadStart(Quick, &value);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(kWaitObject0, ThreadWait(t, 10000));
    EXPECT_EQ(42, value);
    EXPECT_EQ(kWaitObject0, ThreadWait(t, 10)) << "an ended thread stays signalled";
    ThreadClose(t);
}

TEST_F(Threads, WaitTimesOutWhileRunning)
{
    GateOpen = 0;
    PlatThread t = ThreadStart(WaitAtGate, nullptr);
    ASSERT_NE(nullptr, t);
    EXPECT_EQ(kWaitTimeout, ThreadWait(t, 10));
    GateOpen = 1;
    EXPECT_EQ(kWaitObject0, ThreadWait(t, 10000));
    ThreadClose(t);
}

// Every byte of a large block is the caller's, whatever its size against the
// large page; a size that cannot be met is a null, not a short block.
TEST(Memory, LargeBlocksHoldTheirSize)
{
    for (size_t bytes : {(size_t)1, ((size_t)2 << 20) - 1, (size_t)2 << 20, ((size_t)2 << 20) + 1, (size_t)5 << 20}) {
        uint8_t *block = (uint8_t *)LargeBlockAllocate(bytes);
        ASSERT_NE(nullptr, block) << bytes;
        memset(block, 0xA5, bytes);
        EXPECT_EQ(0xA5, block[bytes - 1]);
        free(block);
    }
    EXPECT_EQ(nullptr, LargeBlockAllocate((size_t)-1 - 100));
}

// The weekday is the date's own, by Sakamoto's rule (0 Sunday).
TEST(Time, LocalTimeIsADayOfTheCalendar)
{
    PlatTime t;
    LocalTimeNow(&t);
    EXPECT_GE(t.year, 2020);
    ASSERT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31) << t.month << " " << t.day;
    const int monthShift[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4}, y = t.year - (t.month < 3);
    EXPECT_EQ((y + y / 4 - y / 100 + y / 400 + monthShift[t.month - 1] + t.day) % 7, t.weekday);
}

TEST(Screen, FactsArePlausible)
{
    int w, h;
    ScreenSize(&w, &h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
    // The display mode is the real screen: never smaller than the size the
    // metrics tell, which is scaled down on a scaled screen.
    int modeWidth = 0, modeHeight = 0;
    EXPECT_TRUE(DisplayModeSize(&modeWidth, &modeHeight));
    EXPECT_GE(modeWidth, w);
    EXPECT_GE(modeHeight, h);
    int depth = ScreenBitsPerPixel();
    EXPECT_TRUE(depth == 8 || depth == 16 || depth == 24 || depth == 32) << depth;
}

// The monitors: one primary among them, its corner at 0, 0 and its size the
// screen's; every rectangle whole, and its mode never smaller than it. A list
// too short for them all still tells how many there are.
TEST(Screen, MonitorsAsTheSystemTellsThem)
{
    MonitorRecord monitors[16];
    int count = DisplayMonitors(monitors, 16);
    ASSERT_GE(count, 1);
    ASSERT_LE(count, 16);
    int primaries = 0, w, h;
    ScreenSize(&w, &h);
    for (int i = 0; i < count; i++) {
        const MonitorRecord &m = monitors[i];
        EXPECT_LT(m.rect.left, m.rect.right) << i;
        EXPECT_LT(m.rect.top, m.rect.bottom) << i;
        EXPECT_GE(m.mode.right - m.mode.left, m.rect.right - m.rect.left) << i;
        EXPECT_GE(m.mode.bottom - m.mode.top, m.rect.bottom - m.rect.top) << i;
        if (m.primary) {
            primaries++;
            EXPECT_EQ(0, m.rect.left);
            EXPECT_EQ(0, m.rect.top);
            EXPECT_EQ(w, m.rect.right);
            EXPECT_EQ(h, m.rect.bottom);
        }
    }
    EXPECT_EQ(1, primaries);
    MonitorRecord one[1];
    EXPECT_EQ(count, DisplayMonitors(one, 1));
    EXPECT_EQ(count, DisplayMonitors(nullptr, 0));
}

// The version compares as one number, major first: any system the program
// runs on (Vista, 6.0, or later) is past 5.2, whatever its minor version.
TEST(Screen, WindowsVersions)
{
    EXPECT_TRUE(WindowsVersionAtLeast(6, 0));
    EXPECT_TRUE(WindowsVersionAtLeast(5, 2)) << "a greater major version with a smaller minor one";
    EXPECT_FALSE(WindowsVersionAtLeast(99, 0));
}

}  // namespace
