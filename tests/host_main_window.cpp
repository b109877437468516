#include "tests/host_main_window.h"

#include "app/mainlogic.h"
#include "app/windowcalls.h"
#include "platform/host/host.h"

static MainState *HostMainState;  // the state of the last window made

static intptr_t HostMainProc(PlatWindow window, unsigned message, uintptr_t wParam, intptr_t lParam)
{
    bool handled;
    return MainWindowMessage(window, HostMainState, message, wParam, lParam, &handled);
}

PlatWindow MakeHostMainWindow(MainState *state)
{
    HostMainState = state;
    MainWindow = HostMakeWindow(nullptr, 0, "Desktop Quennel");
    HostSetWindowProc(MainWindow, HostMainProc);
    HostMakeWindow(MainWindow, IDC_STATUS, "");
    HostMakeWindow(MainWindow, IDC_PARTS, "");
    for (int id : kColorOrder)
        HostMakeWindow(MainWindow, id, "");
    for (int id : kCheckOrder)
        HostMakeWindow(MainWindow, id, "");
    for (int id : kPushOrder)
        HostMakeWindow(MainWindow, id, "");
    return MainWindow;
}
