// The error report, watched from outside through the probe program: the box,
// the log record in the user's own folder, and the exit code.
#include "base/apperror.h"
#include "tests/testing.h"

#include <string>

// Each test starts without a log of the user's.
class ErrorReport : public MachineTest {
protected:
    std::string log;
    void SetUp() override
    {
        MachineTest::SetUp();
        log = UserDataFolder() + "\\assertFile.txt";
        FileDelete(log.c_str());
    }
};

static const std::string kSupport = std::string("\nPlease call KTB Customer Support ") + kSupportPhone;

// The log with its time lines checked and taken out: each record starts with
// a line such as "Wed Jan  2 02:03:55 1980".
static std::string WithoutTimeLines(const std::string &log)
{
    std::string rest;
    int timeLines = 0;
    for (size_t at = 0; at < log.size();) {
        size_t end = log.find("\r\n", at);
        end = end == std::string::npos ? log.size() : end + 2;
        std::string line = log.substr(at, end - at);
        at = end;
        if (line.size() == 26 && line[3] == ' ' && line[7] == ' ' && line[10] == ' ' && line[13] == ':' &&
            line[16] == ':' && line[19] == ' ' && timeLines < 100) {
            timeLines++;
            continue;
        }
        rest += line;
    }
    EXPECT_GT(timeLines, 0);
    return rest;
}

TEST_F(ErrorReport, PassingCheckLeavesNoTrace)
{
    std::string dir = NewFolder(), box;
    EXPECT_EQ(0, RunProbe("assert_probe", dir, "pass", &box));
    EXPECT_EQ("", box);
    EXPECT_FALSE(FileExists(log));
}

TEST_F(ErrorReport, FailedCheckShowsBoxLogsAndExits255)
{
    std::string dir = NewFolder(), box;
    EXPECT_EQ(255, RunProbe("assert_probe", dir, "fail", &box));
    std::string located = "File-> C:\\src\\probe.cpp, Line-> 42\nValue 7 is bad: seven";
    EXPECT_EQ(located + kSupport, box);
    std::string record = ReadWholeFile(log);
    EXPECT_EQ("File-> C:\\src\\probe.cpp, Line-> 42\r\nValue 7 is bad: seven\r\n", WithoutTimeLines(record));
    EXPECT_EQ(std::string::npos, record.find("Customer Support"));
    EXPECT_FALSE(FileExists(dir + "\\assertFile.txt")) << "nothing of the user's beside the program";
}

TEST_F(ErrorReport, RecordsAccumulateOldestFirst)
{
    std::string dir = NewFolder(), box;
    EXPECT_EQ(255, RunProbe("assert_probe", dir, "fail", &box));
    EXPECT_EQ(255, RunProbe("assert_probe", dir, "noloc", &box));
    EXPECT_EQ("Out of room on drive C: for backup file\n" + kSupport, box);
    EXPECT_EQ("File-> C:\\src\\probe.cpp, Line-> 42\r\nValue 7 is bad: seven\r\n"
              "Out of room on drive C: for backup file\r\n",
              WithoutTimeLines(ReadWholeFile(log)));
}

// The log is a Windows text file whatever line ends a record's text brings:
// each line ends in one CR LF, and a record in exactly one.
TEST_F(ErrorReport, LinesEndInOneCarriageReturnLineFeed)
{
    AppLogReport("File C:\\a.ART could not be opened: EXITING\r\n");
    AppLogReport("one\ntwo\r\nthree");
    AppLogReport("");
    std::string record = ReadWholeFile(log);
    EXPECT_EQ(std::string::npos, record.find("\r\r")) << record;
    EXPECT_EQ("File C:\\a.ART could not be opened: EXITING\r\none\r\ntwo\r\nthree\r\n\r\n", WithoutTimeLines(record));
}

TEST_F(ErrorReport, MessageCutAt2000Characters)
{
    std::string dir = NewFolder(), box;
    EXPECT_EQ(255, RunProbe("assert_probe", dir, "long", &box));
    std::string message = std::string(1999, 'x') + "y";
    EXPECT_EQ("File-> probe.cpp, Line-> 1\n" + message + kSupport, box);
    EXPECT_EQ("File-> probe.cpp, Line-> 1\r\n" + message + "\r\n", WithoutTimeLines(ReadWholeFile(log)));
}

TEST_F(ErrorReport, FailedCheckOnSecondThread)
{
    std::string dir = NewFolder(), box;
    EXPECT_EQ(255, RunProbe("assert_probe", dir, "thread", &box));
    EXPECT_EQ("File-> worker.cpp, Line-> 7\nFrom the worker thread" + kSupport, box);
}

TEST_F(ErrorReport, ProgramInDriveRootLogsInTheUsersFolder)
{
    std::string box;
    EXPECT_EQ(255, RunProbe("assert_probe", "C:", "noloc", &box));
    std::string record = ReadWholeFile(log);
    EXPECT_NE(std::string::npos, record.find("Out of room on drive C")) << record;
    EXPECT_FALSE(FileExists("C:\\assertFile.txt"));
    FileDelete("C:\\assert_probe.exe");
}

TEST(ErrorReportTime, TwentyFourCharacterLine)
{
    char line[32];
    FormatAssertTime(PlatTime{1980, 1, 2, 3, 2, 3, 55}, line, sizeof line);
    EXPECT_STREQ("Wed Jan  2 02:03:55 1980\n", line);
    FormatAssertTime(PlatTime{2026, 12, 31, 4, 23, 59, 9}, line, sizeof line);
    EXPECT_STREQ("Thu Dec 31 23:59:09 2026\n", line);
}
