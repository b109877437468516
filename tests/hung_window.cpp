// A program of another process whose window never answers: it shows a
// top-level window and then sleeps without ever reading a message, as a hung
// program does. Anything sent to it without a time-out waits for ever. The
// tests end it when they are done.
//   hung_window TITLE
#include <windows.h>

int main(int argc, char **argv)
{
    HWND window = CreateWindowExA(0, "STATIC", argc > 1 ? argv[1] : "Hung window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  20, 20, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window)
        return 1;
    Sleep(INFINITE);
    return 0;
}
