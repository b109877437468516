#include "base/team.h"

#include "base/apperror.h"
#include "platform/system.h"

#include <new>

int TeamThreads = 2;

static void TakeTasks(Team *team, int member)
{
    for (;;) {
        int number = team->next.fetch_add(1);
        if (number >= team->count)
            return;
        team->task(team, number, member);
        team->done[number].store(true, std::memory_order_release);
    }
}

struct TeamStart {
    Team team;
    PlatThread helper;
    void (*earlyJob)(void *);
    void *earlyContext;
    std::atomic<int> earlyState;  // 0 not taken, 1 running, 2 ended (or none)
    std::atomic<bool> ready;  // the team's tasks are set
};

// Runs the early job if no thread has taken it yet; true when this one did.
static bool TakeEarly(TeamStart *s)
{
    int untaken = 0;
    if (!s->earlyState.compare_exchange_strong(untaken, 1, std::memory_order_acquire))
        return false;
    s->earlyJob(s->earlyContext);
    s->earlyState.store(2, std::memory_order_release);
    return true;
}

static unsigned long Helper(void *p)
{
    TeamStart *s = (TeamStart *)p;
    TakeEarly(s);
    for (int round = 0; !s->ready.load(std::memory_order_acquire); round++)
        TeamPause(round);
    TakeTasks(&s->team, 1);
    return 0;
}

static TeamStart *NewTeamStart(bool helper, void (*early)(void *), void *earlyContext)
{
    TeamStart *s = new (std::nothrow) TeamStart;
    AppAssert(s != nullptr, "team", __LINE__, "Not enough memory for a team");
    s->team.count = 0;
    s->team.done = nullptr;
    s->team.next.store(0);
    s->earlyJob = early;
    s->earlyContext = earlyContext;
    s->earlyState.store(early ? 0 : 2);
    s->ready.store(false);
    s->helper = helper && TeamThreads > 1 && ProcessorCount() > 1 ? ThreadStart(Helper, s) : nullptr;
    return s;
}

TeamStart *StartTeam(void (*early)(void *), void *earlyContext) { return NewTeamStart(true, early, earlyContext); }

void RunStartedTeam(TeamStart *start, TeamTask task, void *context, int count)
{
    AppAssert(count >= 0 && count <= kMaxTeamTasks, "team", __LINE__, "%d tasks for a team of at most %d", count,
              kMaxTeamTasks);
    Team &team = start->team;
    team.task = task;
    team.context = context;
    team.count = count;
    team.done = new (std::nothrow) std::atomic<bool>[count > 0 ? count : 1];
    AppAssert(team.done != nullptr, "team", __LINE__, "Not enough memory for a team of %d tasks", count);
    for (int i = 0; i < count; i++)
        team.done[i].store(false);
    // The early job, if the helper has not taken it (it may not have started
    // yet), or the end of the helper's.
    if (!TakeEarly(start))
        for (int round = 0; start->earlyState.load(std::memory_order_acquire) != 2; round++)
            TeamPause(round);
    start->ready.store(true, std::memory_order_release);
    TakeTasks(&team, 0);
    // Every task is taken; the helper may still be running its last one.
    if (start->helper) {
        ThreadWait(start->helper, kInfinite);
        ThreadClose(start->helper);
    }
    delete[] team.done;
    delete start;
}

void RunTeam(TeamTask task, void *context, int count)
{
    RunStartedTeam(NewTeamStart(count > 1, nullptr, nullptr), task, context, count);
}

void TeamPause(int round)
{
    if (round < 256) {
#if defined(__i386__) || defined(__x86_64__)
        __builtin_ia32_pause();
#endif
    } else {
        ThreadYield();
    }
}

void TeamWaitFor(Team *team, int number)
{
    for (int round = 0; !team->done[number].load(std::memory_order_acquire); round++)
        TeamPause(round);
}
