// A small program that drives the palette's fatal paths, for the tests that
// watch the error report from outside:
//   load PATH      loads a palette file: one that cannot be opened or is
//                  damaged ends in the report
//   wide           starts a reduction of rows too wide for any error rows
#include "tests/probe_args.h"
#include "base/processvalues.h"
#include "palette/palette.h"

#include <string.h>

int main(int argc, char **argv)
{
    Utf8Args utf8(argc, argv);
    argv = utf8.argv();
    SetProcessValues(nullptr);
    const char *what = argc > 1 ? argv[1] : "";
    if (!strcmp(what, "load") && argc > 2)
        LoadPalette(argv[2]);
    if (!strcmp(what, "wide")) {
        StartDiffusion(2, (1 << 24) + 1);
    }
    return 3;
}
