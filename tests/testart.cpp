#include "tests/testart.h"

#include "tests/testing.h"
#include "tools/art/artencode.h"

#include <stdint.h>

#include <vector>

const std::string &TestArtBytes()
{
    static std::string art;
    if (art.empty()) {
        const int width = 256, height = 192;
        std::vector<uint8_t> bytes;
        std::string error;
        EncodeArt(TestPicture(width, height).data(), width, height, ArtEncodeOptions(), &bytes, &error);
        art.assign(bytes.begin(), bytes.end());
    }
    return art;
}

void InstallTestArt()
{
    std::string folder = WinDir() + "\\ZORVA";
    MakeFolder(folder);
    for (const char *color : {"BLACK", "RED", "WHITE", "BLUE", "GREEN"}) {
        WriteWholeFile(folder + "\\" + color + ".ART", TestArtBytes());
        WriteWholeFile(folder + "\\" + color + ".tr", TestPaletteText());
    }
}
