// The host backend's end of the process, which a fuzz target can turn into an
// exception: there a fatal report is one outcome of an input, not the end of
// the run.
#pragma once

// What ProcessExit throws while throwing is on.
struct HostProcessExit {
    int code;
};

// On: ProcessExit throws HostProcessExit with its code instead of calling
// exit(). Off (the start): exit() as on Windows. Only for a caller that
// catches it on the thread that may report.
void HostThrowOnExit(bool on);
