// What the screen saver shows: the art of the colour the wallpaper maker last
// made, decoded with the art decoder, or a calm gradient in that colour's
// spirit when the art is not there.
#pragma once

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

// The picture of the colour word at width x height (each 1 or more): the art,
// scaled to a little more than that and cut so that the scaling's dark last
// rows and columns do not show, at 24 bits whatever the screen's depth. When
// the art file cannot be opened, the gradient instead; the decoder is not
// called then. A damaged art file is still the decoder's fatal report.
SaverPicture MakeSaverPicture(const char *word, int width, int height);
void FreeSaverPicture(SaverPicture *picture);

// The gradient of a colour word (unknown words: white's) into width x height
// pixels, rows stride bytes apart: a soft diagonal blend of the colour's dark
// and light tone with a faint glow about the middle.
void PaintSaverGradient(const char *word, uint8_t *pixels, int width, int height, size_t stride);
