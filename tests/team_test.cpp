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

void Task(Team *team, int number, int member)
{
    Record *r = (Record *)team->context;
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

#ifndef _WIN32
TEST_F(TeamTest, HelperThatCannotStartLeavesEveryTaskToTheCaller)
{
    HostFailNextThread();
    Record *r = new Record();
    RunTeam(Task, r, kTasks);
    ExpectEveryTaskOnceInOrder(*r);
    EXPECT_EQ(0, r->byMember[1].load());
    delete r;
}
#endif

}  // namespace
