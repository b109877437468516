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

static unsigned long Helper(void *team)
{
    TakeTasks((Team *)team, 1);
    return 0;
}

void RunTeam(TeamTask task, void *context, int count)
{
    AppAssert(count >= 0 && count <= kMaxTeamTasks, "team", __LINE__, "%d tasks for a team of at most %d", count,
              kMaxTeamTasks);
    Team team;
    team.task = task;
    team.context = context;
    team.count = count;
    team.next.store(0);
    team.done = new (std::nothrow) std::atomic<bool>[count > 0 ? count : 1];
    AppAssert(team.done != nullptr, "team", __LINE__, "Not enough memory for a team of %d tasks", count);
    for (int i = 0; i < count; i++)
        team.done[i].store(false);
    PlatThread helper = nullptr;
    if (TeamThreads > 1 && count > 1 && ProcessorCount() > 1)
        helper = ThreadStart(Helper, &team);
    TakeTasks(&team, 0);
    // Every task is taken; the helper may still be running its last one.
    if (helper) {
        ThreadWait(helper, kInfinite);
        ThreadClose(helper);
    }
    delete[] team.done;
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
