// A small program that makes the error report fire, for the tests that watch
// it from outside: its box, its log file and its exit code.
//   pass     a check that holds, then exit code 0
//   fail     a failed check with a location
//   noloc    a failed check without a location
//   long     a failed check whose message is 2,500 characters
//   thread   a failed check on a second thread
#include "tests/probe_args.h"
#include "base/apperror.h"
#include "base/processvalues.h"

#include <string.h>

#include <string>

static unsigned long FailOnThread(void *)
{
    AppAssert(0, "worker.cpp", 7, "From the worker thread");
    return 1;
}

int main(int argc, char **argv)
{
    Utf8Args utf8(argc, argv);
    argv = utf8.argv();
    SetProcessValues(nullptr);
    const char *what = argc > 1 ? argv[1] : "";
    if (!strcmp(what, "pass")) {
        AppAssert(1, "probe.cpp", 12, "Never shown");
        return 0;
    }
    if (!strcmp(what, "fail"))
        AppAssert(0, "C:\\src\\probe.cpp", 42, "Value %d is bad: %s", 7, "seven");
    if (!strcmp(what, "noloc"))
        AppAssert(0, nullptr, 0, "Out of room on drive %c: for backup file\n", 'C');
    if (!strcmp(what, "long")) {
        std::string text(2500, 'x');
        text[1999] = 'y';
        text[2000] = 'z';
        AppAssert(0, "probe.cpp", 1, "%s", text.c_str());
    }
    if (!strcmp(what, "thread")) {
        PlatThread t = ThreadStart(FailOnThread, nullptr);
        ThreadWait(t, 20000);
    }
    return 3;
}
