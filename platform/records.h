// Records shared with Windows, laid out byte for byte as the system's own
// structures (the "A" forms), so that they can be handed to the system, stored
// in theme files as byte lists, and written to bitmap files on any host.
// All fields are little-endian on every target this program builds for.
#pragma once

#include <stdint.h>

#pragma pack(push, 1)

// LOGFONTA: 60 bytes.
struct LogFontRecord {
    int32_t lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
    uint8_t lfItalic, lfUnderline, lfStrikeOut, lfCharSet;
    uint8_t lfOutPrecision, lfClipPrecision, lfQuality, lfPitchAndFamily;
    char lfFaceName[32];
};

// ICONMETRICSA: 76 bytes.
struct IconMetricsRecord {
    uint32_t cbSize;
    int32_t iHorzSpacing, iVertSpacing, iTitleWrap;
    LogFontRecord lfFont;
};

// NONCLIENTMETRICSA without the later iPaddedBorderWidth: 340 bytes.
struct NonclientMetricsRecord {
    uint32_t cbSize;
    int32_t iBorderWidth, iScrollWidth, iScrollHeight, iCaptionWidth, iCaptionHeight;
    LogFontRecord lfCaptionFont;
    int32_t iSmCaptionWidth, iSmCaptionHeight;
    LogFontRecord lfSmCaptionFont;
    int32_t iMenuWidth, iMenuHeight;
    LogFontRecord lfMenuFont, lfStatusFont, lfMessageFont;
};

// BITMAPFILEHEADER: 14 bytes.
struct BitmapFileHeader {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1, bfReserved2;
    uint32_t bfOffBits;
};

// BITMAPINFOHEADER: 40 bytes.
struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth, biHeight;
    uint16_t biPlanes, biBitCount;
    uint32_t biCompression, biSizeImage;
    int32_t biXPelsPerMeter, biYPelsPerMeter;
    uint32_t biClrUsed, biClrImportant;
};

// RGBQUAD: 4 bytes.
struct RgbQuad {
    uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
};

// PALETTEENTRY: 4 bytes.
struct PaletteEntry {
    uint8_t peRed, peGreen, peBlue, peFlags;
};

// LOGPALETTE with room for 256 entries: 4 + 1024 bytes.
struct LogPaletteRecord {
    uint16_t palVersion;
    uint16_t palNumEntries;
    PaletteEntry palPalEntry[256];
};

#pragma pack(pop)

static_assert(sizeof(LogFontRecord) == 60, "LOGFONTA is 60 bytes");
static_assert(sizeof(IconMetricsRecord) == 76, "ICONMETRICSA is 76 bytes");
static_assert(sizeof(NonclientMetricsRecord) == 340, "NONCLIENTMETRICSA is 340 bytes");
static_assert(sizeof(BitmapFileHeader) == 14, "BITMAPFILEHEADER is 14 bytes");
static_assert(sizeof(BitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(RgbQuad) == 4, "RGBQUAD is 4 bytes");
static_assert(sizeof(PaletteEntry) == 4, "PALETTEENTRY is 4 bytes");
static_assert(sizeof(LogPaletteRecord) == 1028, "LOGPALETTE of 256 entries");
