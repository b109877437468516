// quennel-content: writes the program's resources and the five colour themes'
// content (theme files, icons, cursors, sounds) into a folder, the same bytes
// on every run.
#include "tools/content/content.h"
#include "tools/content/preview.h"

#include <stdio.h>
#include <string.h>

static int Usage(FILE *to)
{
    fprintf(to,
            "usage: quennel-content OUTPUT_FOLDER [--preview FOLDER]\n"
            "Writes the program's icons, About picture and palette, and the five\n"
            "colour themes with their icons, cursors and sounds, into OUTPUT_FOLDER.\n"
            "--preview also writes PNG contact sheets of the pictures to FOLDER.\n");
    return to == stdout ? 0 : 2;
}

int main(int argc, char **argv)
{
    const char *output = nullptr, *preview = nullptr;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h"))
            return Usage(stdout);
        if (!strcmp(argv[i], "--preview") && i + 1 < argc)
            preview = argv[++i];
        else if (argv[i][0] != '-' && !output)
            output = argv[i];
        else
            return Usage(stderr);
    }
    if (!output)
        return Usage(stderr);
    OutputRoot = output;

    PreviewSheet program, desktop, cursors, about, large;
    program.name = "program-icons";
    program.zoom = 4;
    desktop.name = "desktop-icons";
    desktop.zoom = 3;
    cursors.name = "cursors";
    cursors.zoom = 3;
    about.name = "about";
    about.zoom = 1;
    large.name = "large-icons";
    large.zoom = 1;
    program.large = desktop.large = &large;
    bool look = preview != nullptr;

    MakeProgramIcons(look ? &program : nullptr);
    MakeAboutPicture(look ? &about : nullptr);
    MakeDesktopIcons(look ? &desktop : nullptr);
    MakeCursors(look ? &cursors : nullptr);
    MakeSounds();
    MakeThemeFiles();

    if (look)
        for (const PreviewSheet *sheet : {&program, &desktop, &cursors, &about, &large})
            if (!sheet->pictures.empty())
                WriteSheet(preview, *sheet);
    return 0;
}
