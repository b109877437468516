// The arguments of a tests' helper program in UTF-8, as every text inside the
// program is. On Windows the runtime's argv is in the ANSI code page, where a
// letter outside it is lost: the arguments come from the wide command line.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#endif

#include <string>
#include <vector>

struct Utf8Args {
    std::vector<std::string> texts;
    std::vector<char *> pointers;

    Utf8Args(int argc, char **argv)
    {
#ifdef _WIN32
        (void)argv;
        int count = 0;
        wchar_t **wide = CommandLineToArgvW(GetCommandLineW(), &count);
        for (int i = 0; i < count && i < argc; i++) {
            int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
            std::string text(bytes > 0 ? bytes - 1 : 0, '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &text[0], bytes, nullptr, nullptr);
            texts.push_back(text);
        }
        LocalFree(wide);
#else
        texts.assign(argv, argv + argc);
#endif
        for (std::string &t : texts)
            pointers.push_back(&t[0]);
        pointers.push_back(nullptr);
    }
    char **argv() { return pointers.data(); }
};
