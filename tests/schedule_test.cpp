// The day-and-night schedule: its file, its periods across midnight and the
// changes of summer time, its task's XML and the runs that find nothing due.
#include "app/schedulerun.h"
#include "base/processvalues.h"
#include "schedule/schedule.h"
#include "tests/testing.h"

#ifndef _WIN32
#include "platform/host/host.h"
#endif

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

#ifndef _WIN32
const ThemeParts kWallpaperColors{1, 1, 0, 0, 0, 0, 0};

Schedule AtTimes(int day, int night)
{
    return Schedule{kThemeWhite, kThemeBlack, kScheduleAtTimes, day, night, 0, 0, kAllParts, 0};
}
#endif

// Whether every element of an XML text is closed in order: the tags read with
// a stack of their own, declarations and empty elements skipped.
bool WellFormed(const std::string &xml)
{
    std::vector<std::string> open;
    for (size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
        size_t end = xml.find('>', at);
        if (end == std::string::npos)
            return false;
        std::string tag = xml.substr(at + 1, end - at - 1);
        if (tag[0] == '?' || tag.back() == '/')
            continue;
        std::string name = tag.substr(tag[0] == '/', tag.find(' ') == std::string::npos ? std::string::npos
                                                                                        : tag.find(' ') - (tag[0] == '/'));
        if (tag[0] != '/')
            open.push_back(name);
        else if (open.empty() || open.back() != name)
            return false;
        else
            open.pop_back();
    }
    return open.empty();
}

}  // namespace

// The file's text, a value at a time: what it reads back, and every damage
// refused whole.
TEST(ScheduleFile, ReadsBackAndRefusesDamage)
{
    const std::string whole = "day=white\nnight=black\ntimes=07:00 20:30\nparts=wallpaper,colors\napplied=1796842800\n";
    Schedule s;
    ASSERT_TRUE(ParseSchedule(whole, &s));
    EXPECT_EQ(kThemeWhite, s.dayTheme);
    EXPECT_EQ(kThemeBlack, s.nightTheme);
    EXPECT_EQ(kScheduleAtTimes, s.mode);
    EXPECT_EQ(7 * 60, s.dayMinute);
    EXPECT_EQ(20 * 60 + 30, s.nightMinute);
    EXPECT_EQ(1796842800LL, s.appliedFrom);
    EXPECT_EQ("wallpaper,colors", FormatPartList(s.parts));
    EXPECT_EQ(whole, FormatSchedule(s));
    ASSERT_TRUE(ParseSchedule("day=RED\nnight=green\nsun=-33.918861 18.423300\nparts=fonts\napplied=0\n", &s));
    EXPECT_EQ(kScheduleAtSun, s.mode);
    EXPECT_DOUBLE_EQ(-33.918861, s.latitude);
    EXPECT_DOUBLE_EQ(18.4233, s.longitude);

    const char *damaged[] = {
        "day=white\nnight=black\ntimes=07:00 20:30\nparts=wallpaper,colors\napplied=1",   // the last line cut
        "day=white\nnight=black\ntimes=07:00 20:30\nparts=wallpaper,colors\n",            // a key missing
        "day=white\nday=red\nnight=black\ntimes=07:00 20:30\nparts=fonts\napplied=0\n",   // a key twice
        "day=white\nnight=black\ntimes=07:00 20:30\nsun=1 1\nparts=fonts\napplied=0\n",   // both forms
        "day=white\nnight=black\ntimes=07:00 07:00\nparts=fonts\napplied=0\n",            // the same time
        "day=white\nnight=black\ntimes=24:00 20:30\nparts=fonts\napplied=0\n",            // past the day
        "day=white\nnight=black\nsun=90.5 0\nparts=fonts\napplied=0\n",                   // past a pole
        "day=white\nnight=black\nsun=1e1 0\nparts=fonts\napplied=0\n",                    // not decimal
        "day=pink\nnight=black\ntimes=07:00 20:30\nparts=fonts\napplied=0\n",             // no colour
        "day=white\nnight=black\ntimes=07:00 20:30\nparts=\napplied=0\n",                 // no part
        "day=white\nnight=black\ntimes=07:00 20:30\nparts=fonts\napplied=-5\n",           // no instant
        "day=white\nnight=black\ntimes=07:00 20:30\nparts=fonts\napplied=0\nextra=1\n",   // unknown key
    };
    for (const char *text : damaged)
        EXPECT_FALSE(ParseSchedule(text, &s)) << text;
}

// The task: the program's quoted path in a folder with spaces, accents and
// other scripts, escaped for XML; the user's triggers; least privilege, only
// while signed in; one run at a time, started late after a missed time, with
// a limit. The switch's trigger only with a switch, the registration's only
// when asked for.
TEST(ScheduleTask, Xml)
{
    const std::string program = std::string("C:\\Program Files\\D\xc3\xa9j\xc3\xa0 & Co ") + kJapaneseName + " " +
                                kCyrillicName + "\\DesktopQuennel.exe";
    const PlatTime next{2026, 12, 10, 4, 7, 58, 0};
    std::string x = ScheduleTaskXml(program.c_str(), "S-1-5-21-7-8-9-1001", &next, false);
    EXPECT_TRUE(WellFormed(x)) << x;
    const char *parts[] = {
        "<TimeTrigger>\n      <StartBoundary>2026-12-10T07:58:00</StartBoundary>\n    </TimeTrigger>",
        "<LogonTrigger>\n      <UserId>S-1-5-21-7-8-9-1001</UserId>\n    </LogonTrigger>",
        "<SessionStateChangeTrigger>\n      <UserId>S-1-5-21-7-8-9-1001</UserId>\n"
        "      <StateChange>SessionUnlock</StateChange>",
        "<Subscription>&lt;QueryList&gt;&lt;Query Id=&quot;0&quot; Path=&quot;System&quot;&gt;&lt;Select "
        "Path=&quot;System&quot;&gt;*[System[Provider[@Name=&apos;Microsoft-Windows-Power-Troubleshooter&apos;] and "
        "EventID=1]]&lt;/Select&gt;&lt;/Query&gt;&lt;/QueryList&gt;</Subscription>",
        "<UserId>S-1-5-21-7-8-9-1001</UserId>\n      <LogonType>InteractiveToken</LogonType>\n"
        "      <RunLevel>LeastPrivilege</RunLevel>",
        "<MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>",
        "<StartWhenAvailable>true</StartWhenAvailable>",
        "<ExecutionTimeLimit>PT10M</ExecutionTimeLimit>",
        "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>",
        "<Arguments>/apply scheduled</Arguments>",
    };
    for (const char *part : parts)
        EXPECT_NE(std::string::npos, x.find(part)) << part;
    const std::string command = std::string("<Command>&quot;C:\\Program Files\\D\xc3\xa9j\xc3\xa0 &amp; Co ") +
                                kJapaneseName + " " + kCyrillicName + "\\DesktopQuennel.exe&quot;</Command>";
    EXPECT_NE(std::string::npos, x.find(command)) << x;
    EXPECT_EQ(std::string::npos, x.find("RegistrationTrigger"));

    x = ScheduleTaskXml(program.c_str(), "S-1-5-21-7-8-9-1001", nullptr, true);
    EXPECT_TRUE(WellFormed(x));
    EXPECT_EQ(std::string::npos, x.find("TimeTrigger"));
    EXPECT_NE(std::string::npos, x.find("<RegistrationTrigger/>"));
}

#ifndef _WIN32
// Periods in a zone with summer time (Central European: +1, +2 from the
// last Sunday of March to the last of October), each switch's instant given
// in UTC by hand: across midnight, on the days the clocks change, and at the
// sun, where Greenwich's times come from a second computation of the sun and
// Tromsø's polar night from the published tables (27 November to 15 January).
TEST(SchedulePeriods, AcrossMidnightAndSummerTime)
{
    HostSetTimeZone("CET-1CEST,M3.5.0,M10.5.0/3");
    const struct {
        Schedule schedule;
        long long now;
        long long begun;
        int begunTheme;
        long long next;
        int nextTheme;
    } cases[] = {
        // 07:00 and 20:00 in December, +1: 06:00 and 19:00 UTC.
        {AtTimes(420, 1200), 1796850000, 1796842800, kThemeBlack, 1796882400, kThemeWhite},           // 22:00
        {AtTimes(420, 1200), 1796882399, 1796842800, kThemeBlack, 1796882400, kThemeWhite},           // 06:59:59
        {AtTimes(420, 1200), 1796882400, 1796882400, kThemeWhite, 1796882400 + 13 * 3600, kThemeBlack},  // 07:00
        // the night begins at 22:00 and the day at 02:00: at 02:00 local, 01:00 UTC
        {AtTimes(120, 1320), 1796864400 - 1, 1796850000, kThemeBlack, 1796864400, kThemeWhite},
        // the clocks go forward on 29 March: 20:00 +1 the night before, 07:00 +2 the morning
        {AtTimes(420, 1200), 1774760400 - 60, 1774724400, kThemeBlack, 1774760400, kThemeWhite},
        // and back on 25 October: 20:00 +2 the night before, 07:00 +1 the morning
        {AtTimes(420, 1200), 1792908000 - 60, 1792864800, kThemeBlack, 1792908000, kThemeWhite},
    };
    for (auto &c : cases) {
        SchedulePeriod p;
        ASSERT_TRUE(SchedulePeriodAt(c.schedule, c.now, &p));
        EXPECT_EQ(c.begun, p.begun.at) << c.now;
        EXPECT_EQ(c.begunTheme, p.begun.themeId) << c.now;
        EXPECT_EQ(c.next, p.next.at) << c.now;
        EXPECT_EQ(c.nextTheme, p.next.themeId) << c.now;
    }

    // At the sun: 9 December 2026 at noon UTC.
    const long long noon = 1796842800 - 7 * 3600;
    Schedule greenwich{kThemeWhite, kThemeBlack, kScheduleAtSun, 0, 0, 51.4779, -0.0015, kAllParts, 0};
    SchedulePeriod p;
    ASSERT_TRUE(SchedulePeriodAt(greenwich, noon, &p));
    EXPECT_NEAR(noon - 4 * 3600 - 7 * 60, p.begun.at, 120) << "sunrise 07:53 UTC";
    EXPECT_EQ(kThemeWhite, p.begun.themeId);
    EXPECT_NEAR(noon + 3 * 3600 + 51 * 60, p.next.at, 120) << "sunset 15:51 UTC";
    Schedule tromso = greenwich;
    tromso.latitude = 69.65;
    tromso.longitude = 18.96;
    ASSERT_TRUE(SchedulePeriodAt(tromso, noon, &p));
    EXPECT_EQ(kThemeBlack, p.begun.themeId);
    EXPECT_GE(p.begun.at, noon - 14 * 86400);  // 26 November: the last sunset
    EXPECT_LT(p.begun.at, noon - 12 * 86400);
    EXPECT_EQ(kThemeWhite, p.next.themeId);
    EXPECT_GE(p.next.at, noon + 36 * 86400);  // 15 January: the first sunrise
    EXPECT_LT(p.next.at, noon + 39 * 86400);
    std::string text = DescribeSchedule(tromso, noon);
    EXPECT_NE(std::string::npos, text.find("Today: black all day, the sun does not rise.")) << text;
}

class ScheduledRun : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        HostSetModulePath("C:\\Program Files\\Desktop Quennel\\DesktopQuennel.exe");
        ASSERT_TRUE(MakeUserDataFolder(UserDataDir, sizeof UserDataDir));
    }
};

// "/apply scheduled": the first run in a period applies, records the period
// and registers the next switch; a second run in it reads the schedule's file
// and nothing else: no art, no setting, no window, no task.
TEST_F(ScheduledRun, OncePerPeriod)
{
    const long long now = 1796850000;  // 9 December 2026, 21:00 UTC
    Schedule s = AtTimes(420, 1200);
    s.parts = kWallpaperColors;
    ASSERT_EQ(kScheduleDone, ScheduleStart(s, now, true));
    ASSERT_EQ(1u, HostTasks().size());
    EXPECT_NE(std::string::npos, HostTasks()[0].xml.find("<RegistrationTrigger/>"));
    // Another copy runs: the task comes back in five minutes.
    MainScheduledBusy(now);
    EXPECT_NE(std::string::npos, HostTasks()[0].xml.find("<StartBoundary>2026-12-09T21:05:00</StartBoundary>"));
    int theme = 0;
    ThemeParts parts{};
    long long start = 0;
    ASSERT_EQ(-1, MainScheduledDue(now, &theme, &parts, &start));
    EXPECT_EQ(kThemeBlack, theme);
    EXPECT_EQ("wallpaper,colors", FormatPartList(parts));
    EXPECT_EQ(1796846400, start) << "20:00 UTC";
    MainScheduledEnded(0, start, now);
    ASSERT_EQ(1u, HostTasks().size());
    EXPECT_NE(std::string::npos, HostTasks()[0].xml.find("<StartBoundary>2026-12-10T07:00:00</StartBoundary>"))
        << "the next switch, in local time (UTC here)";
    EXPECT_EQ(std::string::npos, HostTasks()[0].xml.find("RegistrationTrigger"));
    MainScheduledBusy(now + 60);
    EXPECT_NE(std::string::npos, HostTasks()[0].xml.find("2026-12-10T07:00:00")) << "nothing due: no retry";

    // The second run: every fallible call it makes, each found by failing it.
    HostClearEvents();
    HostFailCall(0);
    EXPECT_EQ(0, MainScheduledDue(now + 3600, &theme, &parts, &start));
    long long calls = HostFallibleCalls();
    EXPECT_GE(calls, 1);
    EXPECT_TRUE(HostEvents().empty()) << HostEvents()[0];
    EXPECT_TRUE(HostMessages().empty());
    for (long n = 1; n <= calls; n++) {
        HostFailCall(n);
        MainScheduledDue(now + 3600, &theme, &parts, &start);
        EXPECT_NE(std::string::npos, HostInjectedFault().find("Schedule.txt")) << HostInjectedFault();
    }

    // Without the Task Scheduler a new schedule changes nothing; the end of a
    // revert takes the file all the same, and the task left runs to no effect.
    HostSetTaskSchedulerReachable(false);
    EXPECT_EQ(kScheduleNoScheduler, ScheduleStart(AtTimes(60, 120), now, true));
    EXPECT_EQ(kScheduleNoScheduler, ScheduleEnd(false));
    Schedule kept;
    ASSERT_EQ(kScheduleHere, ReadSchedule(&kept));
    EXPECT_EQ(420, kept.dayMinute);
    EXPECT_EQ(1796846400, kept.appliedFrom);
    EXPECT_EQ(kScheduleNoScheduler, ScheduleEnd(true)) << "the file goes, the task stays";
    EXPECT_EQ(kScheduleNone, ReadSchedule(&kept));
    HostSetTaskSchedulerReachable(true);
    EXPECT_EQ(kExitNoSchedule, MainScheduledDue(now, &theme, &parts, &start));

    // The uninstaller's "/schedule off all": every user's task.
    HostSetUser(kJapaneseName);
    ASSERT_EQ(kScheduleDone, ScheduleStart(s, now, false));
    ASSERT_EQ(2u, HostTasks().size());
    ProgramCommand all{kRunScheduleOffAll, 0, kAllParts, Schedule{}, ""};
    std::string out;
    EXPECT_EQ(kExitClosed, MainScheduleCommand(all, now, &out)) << out;
    EXPECT_TRUE(HostTasks().empty());
}
#endif
