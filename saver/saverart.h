// What the screen saver shows: the art of the colour the wallpaper maker last
// made, decoded with the art decoder, or a calm gradient in that colour's
// spirit when the art is not there.
#pragma once

#include "platform/records.h"

#include <stddef.h>
#include <stdint.h>

constexpr int kArtWordSize = 16;  // a colour word and its terminating zero

// A picture of blue, green, red pixels, row 0 at the top, rows stride bytes
// apart: the row length of a 24-bit device-independent bitmap (width x 3
// rounded up to a multiple of 4), so the rows can be handed to GDI as they are.
struct SaverPicture {
    uint8_t *pixels;  // null when there was no memory for it
    int width, height;
    size_t stride;
    bool fromArt;     // false: the generated gradient
    // For a screen of 8 bits a pixel, the colours the window realises before
    // the picture is drawn: the art's own palette, or one made for the
    // picture. palNumEntries is 0 for any other screen.
    LogPaletteRecord palette;
};

// The colour word: the value "PaperArtFile" of the key
// HKEY_CURRENT_USER\Software\ZorvaTheVandrel, which the wallpaper maker
// writes; "WHITE" when it is missing, empty, longer than a word or anything but
// letters and digits (it becomes part of a file name). word holds
// kArtWordSize characters.
void SaverArtWord(char *word);

// The art file of a colour word: the Windows folder, "\ZORVA\", the word,
// ".ART"; "" (no art, the gradient shows) when it does not fit size.
void SaverArtPath(const char *word, char *path, size_t size);
// The art's palette file beside it: the same with ".tr".
void SaverPalettePath(const char *word, char *path, size_t size);

// The picture of the colour word at width x height (each 1 or more): the art,
// scaled to a little more than that and cut so that the scaling's dark last
// rows and columns do not show. When the art file cannot be opened, the
// gradient instead; the decoder is not called then. A damaged art file is
// still the decoder's fatal report.
// The rows are 24-bit at every depth. For a screen of depth 8 (a palette
// screen) the picture also brings the palette to realise: the art is reduced
// onto its own palette file as the wallpaper is, with error diffusion, so
// that every pixel is one of its colours; the gradient brings a palette of
// its own tones. Art whose palette file is missing or damaged keeps its
// colours and brings an even spread of 216 colours, 6 levels a component.
SaverPicture MakeSaverPicture(const char *word, int width, int height, int depth);
void FreeSaverPicture(SaverPicture *picture);

// The gradient of a colour word (unknown words: white's) into width x height
// pixels, rows stride bytes apart: a soft diagonal blend of the colour's dark
// and light tone with a faint glow about the middle.
void PaintSaverGradient(const char *word, uint8_t *pixels, int width, int height, size_t stride);
// The palette for the gradient of a colour word on a screen of 8 bits: its
// colours at even steps of the blend and of the glow, few enough to leave the
// system's 20 static colours their places.
void SaverGradientPalette(const char *word, LogPaletteRecord *palette);
