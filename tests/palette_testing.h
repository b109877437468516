// Helpers shared by the palette's tests.
#pragma once

#include "palette/palette.h"
#include "tests/diffuse_testing.h"
#include "tests/testing.h"

#include <string>

// A machine with a folder for palette files.
class PaletteTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        folder = NewFolder();
    }
    // Writes text (bytes as given, line ends included) as a palette file and loads it.
    LogPaletteRecord *LoadText(const std::string &text)
    {
        std::string path = folder + "\\palette.tr";
        WriteWholeFile(path, text);
        return LoadPalette(path.c_str());
    }
    std::string folder;
};

// The path of colour c's own bits, depth levels deep, as " i j k".
inline std::string OwnPath(PackedColor c, int depth)
{
    std::string path;
    for (int level = 0; level < depth; level++) {
        int bit = 7 - level;
        int index = 4 * ((c >> bit) & 1) + 2 * ((c >> (8 + bit)) & 1) + ((c >> (16 + bit)) & 1);
        path += " " + std::to_string(index);
    }
    return path;
}

// A palette line of colour c with the given path (" i j k" or "").
inline std::string Line(PackedColor c, const std::string &path)
{
    return std::to_string((c >> 16) & 0xFF) + " " + std::to_string((c >> 8) & 0xFF) + " " +
           std::to_string(c & 0xFF) + " -" + path + "\n";
}
