#include "base/processvalues.h"

#include <string.h>

PlatInstance AppInstance;
char ProgramDir[kPathSize];
char UserDataDir[kPathSize];
int DiffusionKernel;

const char kLongestUserFileName[] = "\\Zorva The Vandrel.BMP";

unsigned ProgramFolder(char *out, unsigned size)
{
    char path[kPathSize];
    if (ModuleFileName(path, sizeof path) == 0 || !PathFits(path)) {
        if (size > 0)
            out[0] = 0;
        return 0;
    }
    if (char *cut = strrchr(path, '\\'))
        *cut = 0;
    return CopyText(out, size, path) ? (unsigned)strlen(out) : 0;
}

bool MakeUserDataFolder(char *out, size_t size)
{
    char local[kPathSize], longest[kPathSize];
    bool ok = LocalAppDataFolder(local, sizeof local) > 0 && JoinPath(out, size, local, "\\Desktop Quennel") &&
              JoinPath(longest, sizeof longest, out, kLongestUserFileName) && FolderCreate(out);
    if (!ok && size > 0)
        out[0] = 0;
    return ok;
}

bool SetProcessValues(PlatInstance instance)
{
    AppInstance = instance;
    bool ok = ProgramFolder(ProgramDir, sizeof ProgramDir) > 0;
    ok = MakeUserDataFolder(UserDataDir, sizeof UserDataDir) && ok;
    DiffusionKernel = 2;
    return ok;
}
