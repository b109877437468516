// ProcessExit on the host: exit(), or an exception for a fuzz target.
#include "platform/host/host_exit.h"
#include "platform/system.h"

#include <stdlib.h>

#include <atomic>

static std::atomic<bool> ThrowOnExit{false};

void HostThrowOnExit(bool on) { ThrowOnExit = on; }

void ProcessExit(int code)
{
    if (ThrowOnExit)
        throw HostProcessExit{code};
    exit(code);
}
