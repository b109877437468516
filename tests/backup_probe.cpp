// Writes the start-up theme files beside itself, as the program does while its
// window is made: for the test that runs it on a disk that is really full.
#include "base/processvalues.h"
#include "backup/backup.h"

int main()
{
    SetProcessValues(nullptr);
    WriteStartupThemes();
    return 0;
}
