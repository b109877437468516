// The program's entry point.
#include <windows.h>

#include "app/appglobals.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetProcessValues((PlatInstance)instance);
    return 0;
}
