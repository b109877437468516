// The files we ship as Explorer and the list of installed programs see them:
// the version record of the program, the screen saver and the installer, read
// back with the system's own functions, and no symbols in a Release build.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "tests/testing.h"
#include "tests/wintesting.h"

namespace {

struct VersionRecord {
    std::vector<char> bytes;
    std::string block;  // "\StringFileInfo\llllcccc\" of the first translation
};

bool ReadVersionRecord(const std::string &file, VersionRecord &record)
{
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0)
        return false;
    record.bytes.assign(size, 0);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, record.bytes.data()))
        return false;
    WORD *translation = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record.bytes.data(), "\\VarFileInfo\\Translation", (void **)&translation, &length) ||
        length < 2 * sizeof(WORD))
        return false;
    char block[64];
    wsprintfA(block, "\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
    record.block = block;
    return true;
}

std::string VersionText(VersionRecord &record, const char *name)
{
    char *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(record.bytes.data(), (record.block + name).c_str(), (void **)&value, &length) || !value)
        return "<none>";
    return std::string(value, strnlen(value, length));
}

// The symbol count of the COFF header and the names of the sections, read
// from the file's bytes with every offset checked against their length.
bool ReadSections(const std::string &bytes, DWORD &symbols, std::vector<std::string> &names)
{
    IMAGE_DOS_HEADER dos;
    if (bytes.size() < sizeof dos)
        return false;
    memcpy(&dos, bytes.data(), sizeof dos);
    const size_t file = (size_t)dos.e_lfanew + 4;  // after "PE\0\0"
    IMAGE_FILE_HEADER header;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 || file + sizeof header > bytes.size())
        return false;
    memcpy(&header, bytes.data() + file, sizeof header);
    symbols = header.NumberOfSymbols;
    const size_t first = file + sizeof header + header.SizeOfOptionalHeader;
    if (first + (size_t)header.NumberOfSections * sizeof(IMAGE_SECTION_HEADER) > bytes.size())
        return false;
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        memcpy(&section, bytes.data() + first + i * sizeof section, sizeof section);
        names.emplace_back((const char *)section.Name, strnlen((const char *)section.Name, IMAGE_SIZEOF_SHORT_NAME));
    }
    return true;
}

TEST(ProgramFiles, VersionRecords)
{
    const struct {
        const char *file, *description, *internalName, *originalName;
    } files[] = {
        {"\\..\\app\\DesktopQuennel.exe", "Desktop Quennel theme switcher", "DesktopQuennel", "DesktopQuennel.exe"},
        {"\\..\\saver\\ZORVA.SCR", "Desktop Quennel", "ZORVA", "ZORVA.SCR"},
        {"\\..\\installer\\DesktopQuennel-Setup.exe", "Desktop Quennel installer", nullptr, "DesktopQuennel-Setup.exe"},
    };
    for (auto &f : files) {
        SCOPED_TRACE(f.file);
        VersionRecord record;
        ASSERT_TRUE(ReadVersionRecord(TestFolder() + f.file, record));
        VS_FIXEDFILEINFO *fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(record.bytes.data(), "\\", (void **)&fixed, &length));
        ASSERT_GE(length, sizeof *fixed);
        EXPECT_EQ(VS_FFI_SIGNATURE, fixed->dwSignature);
        EXPECT_EQ((DWORD)MAKELONG(QUENNEL_VERSION_MINOR, QUENNEL_VERSION_MAJOR), fixed->dwFileVersionMS);
        EXPECT_EQ((DWORD)MAKELONG(0, QUENNEL_VERSION_PATCH), fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileVersionMS, fixed->dwProductVersionMS);
        EXPECT_EQ(fixed->dwFileVersionLS, fixed->dwProductVersionLS);

        EXPECT_EQ("Desktop Quennel", VersionText(record, "ProductName"));
        EXPECT_EQ("Desktop Quennel", VersionText(record, "CompanyName"));
        EXPECT_EQ("Copyright (C) 2026 Desktop Quennel", VersionText(record, "LegalCopyright"));
        EXPECT_EQ(QUENNEL_VERSION, VersionText(record, "FileVersion"));
        EXPECT_EQ(QUENNEL_VERSION, VersionText(record, "ProductVersion"));
        EXPECT_EQ(f.description, VersionText(record, "FileDescription"));
        EXPECT_EQ(f.originalName, VersionText(record, "OriginalFilename"));
        if (f.internalName) {
            EXPECT_EQ(f.internalName, VersionText(record, "InternalName"));
        }
    }
}

// The display settings list the saver by its string 1, and a system may take
// the description instead: both must give the same name.
TEST(ProgramFiles, SaverListedUnderItsDescription)
{
    const std::string saver = TestFolder() + "\\..\\saver\\ZORVA.SCR";
    HMODULE module = LoadLibraryExA(saver.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    char name[128] = "";
    LoadStringA(module, 1, name, sizeof name);
    FreeLibrary(module);
    VersionRecord record;
    ASSERT_TRUE(ReadVersionRecord(saver, record));
    EXPECT_EQ(name, VersionText(record, "FileDescription"));
}

// The program runs with the rights of the user who starts it, unvirtualised,
// aware of each monitor's dpi (never stretched by the system), and names the
// versions of Windows it was made for.
TEST(ProgramFiles, ProgramManifest)
{
    const std::string program = TestFolder() + "\\..\\app\\DesktopQuennel.exe";
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
    ASSERT_NE(nullptr, found);
    std::string text((const char *)LockResource(LoadResource(module, found)), SizeofResource(module, found));
    FreeLibrary(module);
    EXPECT_NE(std::string::npos, text.find("<requestedExecutionLevel level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, text.find(">true/pm</dpiAware>")) << "per monitor before Windows 10 1607";
    EXPECT_NE(std::string::npos, text.find(">PerMonitorV2, PerMonitor</dpiAwareness>"));
    EXPECT_EQ(std::string::npos, text.find(">false</dpi"));
    EXPECT_NE(std::string::npos, text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")) << "Windows 10 and 11";
    EXPECT_NE(std::string::npos, text.find("version=\"" QUENNEL_VERSION ".0\""));

    // The common controls from the system's side-by-side store, never a
    // comctl32.dll beside the program: the dependency's identity, exactly.
    const size_t dependency = text.find("<dependency>");
    ASSERT_NE(std::string::npos, dependency);
    const std::string identity = text.substr(dependency, text.find("/>", dependency) - dependency);
    for (const char *attribute : {" type=\"win32\"", " name=\"Microsoft.Windows.Common-Controls\"", " version=\"6.0.0.0\"",
                                  " processorArchitecture=\"*\"", " publicKeyToken=\"6595b64144ccf1df\"", " language=\"*\""})
        EXPECT_NE(std::string::npos, identity.find(attribute)) << attribute << " in " << identity;
}

TEST(ProgramFiles, ReleaseFilesCarryNoSymbols)
{
#ifndef QUENNEL_STRIPPED
    GTEST_SKIP() << "this build keeps its symbols";
#endif
    for (const char *file : {"\\..\\app\\DesktopQuennel.exe", "\\..\\saver\\ZORVA.SCR"}) {
        SCOPED_TRACE(file);
        DWORD symbols = 1;
        std::vector<std::string> names;
        ASSERT_TRUE(ReadSections(ReadWholeFile(TestFolder() + file), symbols, names));
        EXPECT_EQ(0u, symbols);
        for (auto &name : names)  // long names such as .debug_info live in the symbols' string table as "/4"
            EXPECT_TRUE(name.compare(0, 6, ".debug") != 0 && name.compare(0, 1, "/") != 0) << name;
    }
}

}  // namespace
