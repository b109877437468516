// A small program that decodes one art file, for the tests that watch the
// decoder's fatal reports from outside: its box and its exit code.
//   decode PATH                       OpenArt, DecodeArt, CloseArt
//   render PATH WIDTH HEIGHT DEPTH    the same with RenderArt at that screen depth
// Exit code 0 when the file decoded, 255 from a fatal report, 2 on bad arguments.
#include "tests/probe_args.h"
#include "base/apperror.h"
#include "base/processvalues.h"
#include "decoder/art.h"

#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    Utf8Args utf8(argc, argv);
    argv = utf8.argv();
    SetProcessValues(nullptr);
    DiffusionKernel = 2;
    if (argc == 3 && !strcmp(argv[1], "decode")) {
        ArtFile *art = OpenArt(argv[2]);
        free(DecodeArt(art));
        CloseArt(art);
        return 0;
    }
    if (argc == 6 && !strcmp(argv[1], "render")) {
        ArtFile *art = OpenArt(argv[2]);
        free(RenderArt(art, atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), DiffusionKernel));
        CloseArt(art);
        return 0;
    }
    return 2;
}
