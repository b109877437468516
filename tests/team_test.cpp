// The two-thread team: every task runs exactly once, and only after the tasks
// it waits for, with a helper thread, without one, and when the helper cannot
// start.
#include "base/team.h"
#include "tests/testing.h"

#include <atomic>

#ifndef _WIN32
#include "platform/host/host.h"
#endif

namespace {

constexpr int kTasks = 300;

struct Record {
    std::atomic<int> runs[kTasks];
    std::atomic<bool> finished[kTasks];
    std::atomic<bool> waitedFor[kTasks];  // the task before had finished when this one began
    std::atomic<int> byMember[2];
};

void RecordTask(Record *r, Team *team, int number, int member)
{
    if (number >= 1) {
        TeamWaitFor(team, number - 1);
        r->waitedFor[number] = r->finished[number - 1].load();
    }
    r->runs[number]++;
    r->byMember[member]++;
    for (volatile int spin = 0; spin < 50000; spin = spin + 1) {
    }
    r->finished[number] = true;
}

void Task(Team *team, int number, int member) { RecordTask((Record *)team->context, team, number, member); }

void ExpectEveryTaskOnceInOrder(Record &r)
{
    for (int n = 0; n < kTasks; n++) {
        EXPECT_EQ(1, r.runs[n].load()) << n;
        if (n >= 1) {
            EXPECT_TRUE(r.waitedFor[n].load()) << n;
        }
    }
    EXPECT_EQ(kTasks, r.byMember[0].load() + r.byMember[1].load());
}

class TeamTest : public MachineTest {
protected:
    void TearDown() override
    {
        TeamThreads = 2;
        MachineTest::TearDown();
    }
};

TEST_F(TeamTest, EveryTaskRunsOnceAfterTheTasksItWaitsFor)
{
    for (int threads : {1, 2}) {
        TeamThreads = threads;
        Record *r = new Record();
        RunTeam(Task, r, kTasks);
        ExpectEveryTaskOnceInOrder(*r);
        if (threads == 1) {
            EXPECT_EQ(0, r->byMember[1].load());
        }
        delete r;
    }
    Record *none = new Record();
    RunTeam(Task, none, 0);
    EXPECT_EQ(0, none->byMember[0].load() + none->byMember[1].load());
    delete none;
}

// A started team's early job: run once, on either thread, and ended before
// the first task begins, whichever thread comes to it first.
struct Early {
    std::atomic<int> runs{0};
    std::atomic<bool> ended{false};
    Record record;
    std::atomic<bool> tasksSawItEnded{true};
};

void EarlyJob(void *context)
{
    Early *e = (Early *)context;
    e->runs++;
    for (volatile int spin = 0; spin < 200000; spin = spin + 1) {
    }
    e->ended = true;
}

void TaskAfterEarly(Team *team, int number, int member)
{
    Early *e = (Early *)team->context;
    if (!e->ended.load())
        e->tasksSawItEnded = false;
    RecordTask(&e->record, team, number, member);
}

TEST_F(TeamTest, EarlyJobEndsBeforeTheTasksAndRunsOnce)
{
    for (int threads : {1, 2})
        for (bool callerFirst : {false, true}) {
            TeamThreads = threads;
            Early *e = new Early();
            TeamStart *start = StartTeam(EarlyJob, e);
            if (!callerFirst) {
                // Give the helper time to take the job first.
                for (int round = 0; round < 100000 && e->runs.load() == 0; round++)
                    TeamPause(round);
            }
            RunStartedTeam(start, TaskAfterEarly, e, kTasks);
            EXPECT_EQ(1, e->runs.load()) << threads << " threads";
            EXPECT_TRUE(e->tasksSawItEnded.load()) << threads << " threads";
            ExpectEveryTaskOnceInOrder(e->record);
            delete e;
        }
    // A team started for a list that never came: run with no tasks.
    Early *e = new Early();
    RunStartedTeam(StartTeam(EarlyJob, e), nullptr, nullptr, 0);
    EXPECT_EQ(1, e->runs.load());
    RunStartedTeam(StartTeam(nullptr, nullptr), nullptr, nullptr, 0);
    delete e;
}

#ifndef _WIN32
TEST_F(TeamTest, HelperThatCannotStartLeavesEveryTaskToTheCaller)
{
    HostFailNextThread();
    Record *r = new Record();
    RunTeam(Task, r, kTasks);
    ExpectEveryTaskOnceInOrder(*r);
    EXPECT_EQ(0, r->byMember[1].load());
    delete r;

    // A started team's early job falls to the caller.
    HostFailNextThread();
    Early *e = new Early();
    RunStartedTeam(StartTeam(EarlyJob, e), TaskAfterEarly, e, kTasks);
    EXPECT_EQ(1, e->runs.load());
    EXPECT_TRUE(e->tasksSawItEnded.load());
    EXPECT_EQ(0, e->record.byMember[1].load());
    delete e;
}
#endif

}  // namespace
