// What the fuzz targets share: one simulated machine in a temporary folder,
// and the error report taken as one outcome of an input.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <string>

// Sets up the host machine once per process: drive C: a new temporary folder
// inside QUENNEL_HOST_ROOT (or /tmp), removed at a normal exit; the program's
// folder; the process values (ProgramDir, DiffusionKernel 2); and
// ProcessExit throwing, so that a fatal report can be caught (or, uncaught,
// ends in a crash that libFuzzer reports with the report's text before it).
void FuzzMachineSetUp();
// A fresh machine on the same drive, its files kept (HostReset).
void FuzzResetMachine();

// Runs body(context). Returns false when it returned, true when it ended in
// the error report: the report's record must then be in the log, which is
// removed again. With freeLeftovers the blocks that body allocated and had not
// freed when the report came are freed: the program's paths to a fatal report
// end the process and free nothing, and a run of millions of inputs would
// otherwise run out of memory. Only for single-threaded bodies whose
// persistent tables were built before (see WarmUpFreeingLeftovers).
bool RunUntilReport(void (*body)(void *), void *context, bool freeLeftovers);
// Blocks that the process keeps on first use (the unwinder's, the time zone's,
// the report's own) are made here, by one report outside any record.
void WarmUpFreeingLeftovers();

// Makes a folder (and its parents) on the simulated drive.
void FuzzMakeFolder(const char *windowsPath);
// Writes bytes to a Windows path on the simulated drive; aborts when it cannot.
void FuzzWriteFile(const char *windowsPath, const uint8_t *data, size_t size);
