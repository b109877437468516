// A program of another process that listens, as every program that follows
// the system's colours does: each WM_SETTINGCHANGE that reaches its top-level
// window appends the message's text (or "-" for none) and a line end to FILE.
// It ends when its window is closed.
//   setting_listener TITLE FILE
#include <windows.h>

#include <stdio.h>

static const char *Record;

static LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTINGCHANGE: {
        FILE *f = fopen(Record, "ab");
        if (f) {
            char text[256] = "-";
            if (lParam)
                WideCharToMultiByte(CP_UTF8, 0, (const wchar_t *)lParam, -1, text, sizeof text, nullptr, nullptr);
            fprintf(f, "%s\n", text);
            fclose(f);
        }
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    Record = argv[2];
    WNDCLASSW cls = {};
    cls.lpfnWndProc = ListenerProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"QuennelSettingListener";
    RegisterClassW(&cls);
    // Wide window: its text messages arrive as UTF-16.
    wchar_t title[256];
    MultiByteToWideChar(CP_UTF8, 0, argv[1], -1, title, 256);
    HWND window = CreateWindowExW(0, cls.lpszClassName, title, WS_OVERLAPPEDWINDOW, 20, 20, 200, 100, nullptr,
                                  nullptr, cls.hInstance, nullptr);
    if (!window)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
