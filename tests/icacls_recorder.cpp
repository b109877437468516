// Stands in for the system's icacls.exe in the installer's tests: Wine's own
// changes no permissions and reads none back, so the tests check what the
// installer asks of it. Appends its command line, in UTF-8, as one line to the
// file that QUENNEL_ICACLS_LOG names, and ends with 5 when the command line
// holds the text of QUENNEL_ICACLS_FAIL (as icacls ends on a failure), else 0.
#include <windows.h>

#include <string.h>
#include <wchar.h>

int wmain()
{
    const wchar_t *line = GetCommandLineW();
    wchar_t log[MAX_PATH * 2] = L"", fail[512] = L"";
    if (GetEnvironmentVariableW(L"QUENNEL_ICACLS_LOG", log, MAX_PATH * 2)) {
        char text[8192];
        int n = WideCharToMultiByte(CP_UTF8, 0, line, -1, text, sizeof text - 2, nullptr, nullptr);
        if (n > 0) {
            text[n - 1] = '\n';
            HANDLE file = CreateFileW(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
            DWORD written = 0;
            if (file != INVALID_HANDLE_VALUE) {
                WriteFile(file, text, (DWORD)n, &written, nullptr);
                CloseHandle(file);
            }
        }
    }
    if (GetEnvironmentVariableW(L"QUENNEL_ICACLS_FAIL", fail, 512) && wcsstr(line, fail))
        return 5;
    return 0;
}
