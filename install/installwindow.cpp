// What an install shows in the main window: the calls the window fills in,
// and the progress text that every stage and part shows through them.
#include "install/installtheme.h"

InstallWindowCalls InstallWindow;

void ShowInstallProgress(const char *text)
{
    if (InstallWindow.status)
        InstallWindow.status(text, 1);
}
