// Two threads for the wallpaper's heavy loops: the calling thread and one
// helper take numbered tasks in turn, each the next one not yet taken. A task
// may wait for a task numbered below its own (TeamWaitFor): that one is taken
// already, so it is running or done, and the wait ends. When the helper
// cannot start, or the machine has one processor, the calling thread takes
// every task in order; the results must not depend on which thread ran what.
#pragma once

#include <atomic>

constexpr int kMaxTeamTasks = 1 << 16;

// 2 to use a helper thread on a machine with more than one processor, 1 for
// the calling thread alone. Read when a team starts; tests set it to compare.
extern int TeamThreads;

struct Team;
// member: 0 on the calling thread, 1 on the helper, for each member's own room.
typedef void (*TeamTask)(Team *team, int number, int member);

struct Team {
    TeamTask task;
    void *context;
    int count;                                // tasks 0 ... count - 1
    std::atomic<int> next;                    // the next task to take
    std::atomic<bool> *done;                  // by task
};

// Runs tasks 0 ... count - 1 (at most kMaxTeamTasks) and returns when all
// have ended.
void RunTeam(TeamTask task, void *context, int count);

// A team whose helper starts before its tasks are known, so that the
// helper's start (a tenth of a millisecond) and a job of its own overlap the
// caller's making of the list: StartTeam starts the helper, which runs
// early(earlyContext) when early is not null, unless the caller comes to
// RunStartedTeam first and runs it itself (a helper may start late, or not
// at all). RunStartedTeam then runs the tasks as RunTeam does, once early has
// ended, so the tasks may use what it made. Every started team is run, with
// no tasks when there are none.
struct TeamStart;
TeamStart *StartTeam(void (*early)(void *), void *earlyContext);
void RunStartedTeam(TeamStart *start, TeamTask task, void *context, int count);
// Waits until task number has ended.
void TeamWaitFor(Team *team, int number);
// One round of a wait for another thread: the processor's pause at first,
// then the processor given up (ThreadYield), so that a busy machine runs the
// thread being waited for.
void TeamPause(int round);
