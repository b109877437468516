// What the content tests share: the generated content folder as the platform
// sees it, the theme files' names, and a bounded reader of file bytes.
#pragma once

#include "tests/testing.h"

#include <stdint.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include "platform/host/host.h"
#include <unistd.h>
#endif

// The generated content folder (folder: the build's QUENNEL_CONTENT_FOLDER)
// as a Windows path without a trailing backslash: on the simulated Windows a
// folder of drive C: that leads to it, made here once a test; under Wine its
// place on drive Z:.
inline std::string ContentFolder(const char *folder)
{
#ifdef _WIN32
    std::string dir = std::string("Z:") + folder;
    for (char &c : dir)
        if (c == '/')
            c = '\\';
    return dir;
#else
    std::string link = HostPath("C:\\") + "/Content";
    EXPECT_EQ(0, symlink(folder, link.c_str())) << link;
    return "C:\\Content";
#endif
}

// The content folder's test: dir is ContentFolder's.
class ContentTest : public MachineTest {
protected:
    void SetUp() override;
    std::string dir;
};

extern const char *const kContentColors[5];
// The theme file of a colour word, a full path.
std::string ThemePath(const std::string &dir, const char *color);
// The 14 cursor keys and the 21 sound sections the installer reads.
// The cursor keys (kCursorKeys) and sound events come from the installer's
// own lists (install/themekeys.h): the content must hold what it reads.
#include "theme/themekeys.h"
// The 21 sound sections of a theme file.
std::vector<std::string> SoundSections();

// Little-endian fields of file bytes; a read outside the bytes gives 0 and
// sets failed, which stays set.
struct ByteReader {
    const std::string &bytes;
    bool failed = false;
    explicit ByteReader(const std::string &b) : bytes(b) {}
    uint32_t U8(size_t at)
    {
        if (at >= bytes.size()) {
            failed = true;
            return 0;
        }
        return (uint8_t)bytes[at];
    }
    uint32_t U16(size_t at) { return U8(at) | U8(at + 1) << 8; }
    uint32_t U32(size_t at) { return U16(at) | U16(at + 2) << 16; }
    std::string Tag(size_t at)
    {
        if (at + 4 > bytes.size()) {
            failed = true;
            return "";
        }
        return bytes.substr(at, 4);
    }
};

// One image of an icon or cursor file as read back.
struct IconImageInfo {
    int width, height, depth;
    int hotX, hotY;                 // cursors only
    std::vector<uint8_t> opaque;    // per pixel, from the AND mask, rows top-down
    std::vector<uint32_t> colour;   // per pixel 0xAARRGGBB (alpha 255 below 32 bits)
    bool compressed;                // a PNG picture: no mask, opaque where alpha is half or more
    size_t bytes;                   // the image's size in the file
};
// Reads an icon (type 1) or cursor (type 2) file; failures are test failures.
std::vector<IconImageInfo> ReadIconFile(const std::string &bytes, int type, const std::string &name);
// The cursor files of one RIFF "ACON" animation, each a whole cursor file;
// frames is the count its header gives.
std::vector<std::string> AniFrames(const std::string &bytes, const std::string &name, uint32_t *frames);
// The file a theme value ("%ThemeDir%..." with or without ",index") names.
std::string ThemeFilePath(const std::string &dir, const std::string &value);
