#include "base/processvalues.h"

#include "base/bounded.h"

#include <string.h>

PlatInstance AppInstance;
char ProgramDir[kPathSize];
int ScreenDepth;
int DiffusionKernel;

unsigned ProgramFolder(char *out, unsigned size)
{
    char path[kPathSize] = "";
    ModuleFileName(path, sizeof path);
    path[sizeof path - 1] = 0;
    char *cut = strrchr(path, '\\');
    if (cut)
        *cut = 0;
    return (unsigned)CopyText(out, size, path);
}

void SetProcessValues(PlatInstance instance)
{
    AppInstance = instance;
    ProgramFolder(ProgramDir, sizeof ProgramDir);
    ScreenDepth = ScreenBitsPerPixel();
    DiffusionKernel = 2;
}
