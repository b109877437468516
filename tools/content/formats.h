// On-disk records of the files the content generator writes: icon and cursor
// files, animated cursors, wave sounds. Bitmap headers come from
// platform/records.h. Every multi-byte field is little-endian, as on every
// target this tree builds for; sizes are pinned so a stray field shows at once.
#pragma once

#include "platform/records.h"

#include <stdint.h>

#pragma pack(push, 1)

// The head of an icon (type 1) or cursor (type 2) file.
struct IconDirRecord {
    uint16_t idReserved;  // 0
    uint16_t idType;      // 1 icon, 2 cursor
    uint16_t idCount;     // images that follow
};

// One image of an icon or cursor file. For cursors the two 16-bit fields hold
// the hot spot instead of planes and bit count.
struct IconEntryRecord {
    uint8_t bWidth;        // pixels; 0 means 256
    uint8_t bHeight;
    uint8_t bColorCount;   // 16 for 4-bit images, else 0
    uint8_t bReserved;
    uint16_t wPlanes;      // icon: 1; cursor: hot spot x
    uint16_t wBitCount;    // icon: bits per pixel; cursor: hot spot y
    uint32_t dwBytesInRes; // bytes of the image (header, colours, colour bits, mask)
    uint32_t dwImageOffset;
};

// The "anih" chunk of an animated cursor.
struct AniHeaderRecord {
    uint32_t cbSize;       // 36
    uint32_t nFrames;      // frames stored
    uint32_t nSteps;       // frames shown per cycle
    uint32_t iWidth, iHeight, iBitCount, nPlanes;  // 0: taken from the frames
    uint32_t iDispRate;    // display time of a step, in 1/60 s
    uint32_t bfAttributes; // 1: frames are icon-format data
};

// The "fmt " chunk of a PCM wave file.
struct WaveFormatRecord {
    uint16_t wFormatTag;      // 1 PCM
    uint16_t nChannels;
    uint32_t nSamplesPerSec;
    uint32_t nAvgBytesPerSec;
    uint16_t nBlockAlign;
    uint16_t wBitsPerSample;
};

#pragma pack(pop)

static_assert(sizeof(IconDirRecord) == 6, "ICONDIR is 6 bytes");
static_assert(sizeof(IconEntryRecord) == 16, "ICONDIRENTRY is 16 bytes");
static_assert(sizeof(AniHeaderRecord) == 36, "ANIHEADER is 36 bytes");
static_assert(sizeof(WaveFormatRecord) == 16, "PCM WAVEFORMAT is 16 bytes");

constexpr uint16_t kIconTypeIcon = 1;
constexpr uint16_t kIconTypeCursor = 2;
constexpr uint32_t kAniFramesAreIcons = 1;
