// The content generator's shared pieces: finished pictures, the file writers,
// the colour quantiser and the output folder.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

typedef std::vector<uint8_t> Bytes;

// A finished picture: straight (not premultiplied) red, green, blue, alpha
// bytes, rows top-down.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

struct Rgb8 {
    uint8_t r, g, b;
};
inline bool operator==(Rgb8 a, Rgb8 b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

// ------------------------------------------------------------- file writers

// One image of an icon or cursor file: the picture, the bits per pixel it is
// stored with (32 with alpha, 8 with a 256-colour table, 4 with the 16
// standard colours) and, for cursors, the hot spot in pixels from the top left.
// A compressed image is stored as a PNG picture with alpha (depth 32), as the
// system takes its large icons (256 pixels); it has no mask.
struct IconImage {
    Pixels pixels;
    int depth;
    int hotX, hotY;
    bool compressed = false;
};

// An icon (cursor false) or cursor file holding the images in order.
Bytes IconFileBytes(const std::vector<IconImage> &images, bool cursor);
// An animated cursor: frames are whole cursor files, shown in order for
// jiffies sixtieths of a second each.
Bytes AniFileBytes(const std::vector<Bytes> &frames, uint32_t jiffies, const char *title);
// An uncompressed 8-bit bitmap file, rows bottom-up, with a 256-entry colour
// table: indices holds width * height palette indices, rows top-down; colors
// the used part of the table (the rest is black).
Bytes Bitmap8FileBytes(int width, int height, const std::vector<uint8_t> &indices,
                       const std::vector<Rgb8> &colors);
// A PCM wave file, 16-bit mono.
Bytes WaveFileBytes(const std::vector<int16_t> &samples, int rate);

// The output folder, set once by main; files are named below it with
// backslashes, as the theme files name them.
extern std::string OutputRoot;
// Writes bytes to OutputRoot + relative path, making folders; exits the
// program with a message on failure.
void SaveFile(const std::string &relative, const Bytes &bytes);
void SaveText(const std::string &relative, const std::string &text);
// A text with every line end made CR LF.
std::string WindowsLines(const std::string &text);

// ------------------------------------------------------------ quantisation

// At most maxColors colours standing for the given colours: median cut, then
// a few rounds of nearest-mean refinement. Deterministic.
std::vector<Rgb8> MakePalette(const std::vector<Rgb8> &colors, int maxColors);
// The palette index for each pixel of a width x height picture (rows
// top-down). diffusion 0 picks the nearest colour; 1 spreads the whole error
// (Floyd-Steinberg, serpentine). Pixels with skip set are given index 0 and
// take no error.
std::vector<uint8_t> MapToPalette(const std::vector<Rgb8> &pixels, int width, int height,
                                  const std::vector<Rgb8> &palette, float diffusion,
                                  const std::vector<uint8_t> *skip = nullptr);
// The 16 colours of a 16-colour display, in their usual order.
const std::vector<Rgb8> &StandardColors16();

// ------------------------------------------------------------- the content

// The names the theme files use for what the generators make: cursor role
// 0-13 (its theme-file key and its file in the colour's Cursors folder), sound
// event 0-20 (its theme-file section and its file below the theme folder).
const char *CursorKey(int role);
const char *CursorFile(int role);
const char *SoundSection(int event);
std::string SoundPath(int event, int color);

// Each writes its files below OutputRoot. A preview sheet, where given,
// collects the pictures made for the contact sheets.
struct PreviewSheet;
void MakeProgramIcons(PreviewSheet *sheet);
void MakeAboutPicture(PreviewSheet *sheet);
void MakeDesktopIcons(PreviewSheet *sheet);
void MakeCursors(PreviewSheet *sheet);
void MakeSounds();
void MakeThemeFiles();
