// Every icon and cursor of the content as the system draws it: loaded from its
// file at each size the file holds, drawn with DrawIconEx on a light and on a
// dark ground in a memory DC of the screen's depth, and read back. Each pixel
// must show one of the file's own images of that size: a 32-bit image (or a
// PNG picture) blended by its alpha, a colour-table image through its mask,
// within what the depth can show. So a soft shadow (alpha below half) never shows as a dark halo.
// scripts/test runs this at 8, 16 and 24 bits.
#include "tests/content_testing.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include <windows.h>

namespace {

// One image drawn: a file at one size and, for an animated cursor, one frame,
// at (x, y) on the light ground and beside it on the dark one.
struct Cell {
    std::string path;
    bool cursor;
    int size, step;
    std::vector<IconImageInfo> images;  // the file's (frame's) images of that size
    int x, y;
};

const COLORREF kGrounds[2] = {RGB(255, 255, 255), RGB(0, 0, 128)};  // both in every palette
constexpr int kGap = 4;
constexpr int kRowWidth = 1280;  // the grid's width; the cells fill rows left to right

// Where each cell is drawn: smallest first in rows, each as high as its
// largest cell, a cell taking its size and a gap on each ground. Returns the
// grid's height.
int PlaceCells(std::vector<Cell> *cells)
{
    std::stable_sort(cells->begin(), cells->end(), [](const Cell &a, const Cell &b) { return a.size < b.size; });
    int x = 0, y = 0, rowHeight = 0;
    for (Cell &cell : *cells) {
        int room = 2 * (cell.size + kGap);
        if (x + room > kRowWidth) {
            x = 0;
            y += rowHeight;
            rowHeight = 0;
        }
        cell.x = x;
        cell.y = y;
        x += room;
        rowHeight = std::max(rowHeight, cell.size + kGap);
    }
    return y + rowHeight;
}

// The left edge of a cell's picture on ground half (0 light, 1 dark).
int CellLeft(const Cell &cell, int half) { return cell.x + half * (cell.size + kGap); }

void AddCells(std::vector<Cell> *cells, const std::string &path, bool cursor, int step, const std::string &bytes)
{
    std::vector<IconImageInfo> images = ReadIconFile(bytes, cursor ? 2 : 1, path);
    for (const IconImageInfo &image : images) {
        bool seen = false;
        for (const Cell &c : *cells)
            seen |= c.path == path && c.step == step && c.size == image.width;
        if (seen)
            continue;
        Cell cell = {path, cursor, image.width, step, {}, 0, 0};
        for (const IconImageInfo &same : images)
            if (same.width == image.width)
                cell.images.push_back(same);
        cells->push_back(cell);
    }
}

std::vector<Cell> AllCells(const std::string &dir)
{
    std::vector<Cell> cells;
    std::vector<std::string> icons = {dir + "\\resources\\balls.ico"};
    for (const char *color : kContentColors) {
        icons.push_back(dir + "\\resources\\" + color + ".ico");
        std::string file = ThemePath(dir, color);
        for (const char *section : {kMyComputerIcon, kNetworkIcon})
            icons.push_back(ThemeFilePath(dir, ReadProfile(file, section, "DefaultValue")));
        for (const char *key : {"full", "empty"})
            icons.push_back(ThemeFilePath(dir, ReadProfile(file, kRecycleBinIcon, key)));
        for (const char *key : kCursorKeys) {
            std::string path = ThemeFilePath(dir, ReadProfile(file, "Control Panel\\Cursors", key));
            std::string bytes = ReadWholeFile(path);
            if (path.substr(path.size() - 4) != ".ani") {
                AddCells(&cells, path, true, 0, bytes);
                continue;
            }
            uint32_t count = 0;
            std::vector<std::string> frames = AniFrames(bytes, path, &count);
            for (size_t f = 0; f < frames.size(); f++)
                AddCells(&cells, path, true, (int)f, frames[f]);
        }
    }
    for (const std::string &icon : icons)
        AddCells(&cells, icon, false, 0, ReadWholeFile(icon));
    return cells;
}

int Channel(uint32_t c, int shift) { return (int)(c >> shift) & 255; }

// What pixel i of an image should show on a ground, 0x00RRGGBB. A 32-bit
// image is drawn either blended by its alpha or, where the system has no
// alpha (screens of 16 bits and fewer), through its mask: then it should show
// its colour where the alpha is at least half and the ground elsewhere,
// whatever the file's mask says. A colour-table image shows its colour where
// its mask is opaque.
uint32_t Expected(const IconImageInfo &image, size_t i, COLORREF ground, bool blended)
{
    uint32_t c = image.colour[i];
    int a = image.depth != 32 ? (image.opaque[i] ? 255 : 0) : blended ? (int)(c >> 24) : (c >> 24) >= 128 ? 255 : 0;
    uint32_t out = 0;
    for (int shift : {16, 8, 0}) {
        int g = shift == 16 ? GetRValue(ground) : shift == 8 ? GetGValue(ground) : GetBValue(ground);
        out |= (uint32_t)((Channel(c, shift) * a + g * (255 - a) + 127) / 255) << shift;
    }
    return out;
}

int Distance(uint32_t x, uint32_t y)
{
    int d = 0;
    for (int shift : {16, 8, 0})
        d = std::max(d, abs(Channel(x, shift) - Channel(y, shift)));
    return d;
}

// How far a drawn pixel may be from the expected colour: rounding at 24 bits,
// a step of 5 or 6 bits at 16. At 8 bits the system maps colours onto its
// palette coarsely; the grounds are palette colours and come back exact, so a
// pixel that should show the ground and shows the shape, or a dark halo, is
// still far outside this.
int Tolerance(int depth) { return depth >= 24 ? 3 : depth >= 15 ? 12 : 96; }

// The drawn grid as a 24-bit bitmap file, for people to look at.
void SaveShot(const char *path, const std::vector<uint32_t> &px, int width, int height)
{
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER bf = {};
    BITMAPINFOHEADER bi = {};
    bf.bfType = 0x4D42;
    bf.bfOffBits = sizeof bf + sizeof bi;
    bf.bfSize = bf.bfOffBits + stride * height;
    bi.biSize = sizeof bi;
    bi.biWidth = width;
    bi.biHeight = -height;
    bi.biPlanes = 1;
    bi.biBitCount = 24;
    std::string out((const char *)&bf, sizeof bf);
    out.append((const char *)&bi, sizeof bi);
    for (int y = 0; y < height; y++) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; x++)
            memcpy(&row[x * 3], &px[(size_t)y * width + x], 3);
        out += row;
    }
    WriteWholeFile(path, out);
}

}  // namespace

TEST_F(ContentTest, IconsAndCursorsDrawAsTheirAlphaSaysOnLightAndDarkGrounds)
{
    std::vector<Cell> cells = AllCells(dir);
    ASSERT_GT(cells.size(), 150u);
    int width = kRowWidth, height = PlaceCells(&cells);

    HDC screen = GetDC(nullptr);
    int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP target = CreateCompatibleBitmap(screen, width, height);
    ASSERT_NE(nullptr, target);
    HGDIOBJ kept = SelectObject(dc, target);
    for (int half = 0; half < 2; half++) {
        HBRUSH brush = CreateSolidBrush(kGrounds[half]);
        for (const Cell &cell : cells) {
            RECT r = {CellLeft(cell, half), cell.y, CellLeft(cell, half) + cell.size, cell.y + cell.size};
            FillRect(dc, &r, brush);
        }
        DeleteObject(brush);
    }
    for (size_t k = 0; k < cells.size(); k++) {
        const Cell &cell = cells[k];
        HICON icon = (HICON)LoadImageA(nullptr, cell.path.c_str(), cell.cursor ? IMAGE_CURSOR : IMAGE_ICON, cell.size,
                                       cell.size, LR_LOADFROMFILE);
        EXPECT_NE(nullptr, icon) << cell.path;
        if (!icon)
            continue;
        for (int half = 0; half < 2; half++)
            EXPECT_TRUE(DrawIconEx(dc, CellLeft(cell, half), cell.y, icon, cell.size, cell.size, cell.step, nullptr,
                                   DI_NORMAL))
                << cell.path << " frame " << cell.step;
        cell.cursor ? DestroyCursor(icon) : DestroyIcon(icon);
    }
    SelectObject(dc, kept);

    std::vector<uint32_t> px((size_t)width * height);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // rows top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    ASSERT_EQ(height, GetDIBits(screen, target, 0, height, px.data(), &bi, DIB_RGB_COLORS));
    for (uint32_t &p : px)
        p &= 0xFFFFFF;
    if (const char *shot = getenv("QUENNEL_ICON_SHOT"))
        SaveShot(shot, px, width, height);

    // Each cell must show one of its images, drawn one of the ways it can be,
    // everywhere on both grounds. A compressed (PNG) image is held to it on
    // screens of 24 bits and more only: it is the 256-pixel image of Explorer's
    // large views, which today's systems show at 32 bits, and below 24 bits
    // the system converts it in its own way (Wine blends it, edges a pixel off).
    for (size_t k = 0; k < cells.size(); k++) {
        const Cell &cell = cells[k];
        if (depth < 24 && cell.images[0].compressed)
            continue;
        int best = -1, halo = 0;
        std::string where;
        for (const IconImageInfo &image : cell.images)
            for (bool blended : {false, true}) {
                if (blended && image.depth != 32)
                    continue;
                int wrong = 0, dark = 0;
                std::string first;
                for (int half = 0; half < 2; half++) {
                    int ox = CellLeft(cell, half), oy = cell.y;
                    for (int y = 0; y < cell.size; y++)
                        for (int x = 0; x < cell.size; x++) {
                            size_t i = (size_t)y * cell.size + x;
                            uint32_t drawn = px[(size_t)(oy + y) * width + ox + x];
                            uint32_t expected = Expected(image, i, kGrounds[half], blended);
                            if (Distance(drawn, expected) <= Tolerance(depth))
                                continue;
                            wrong++;
                            // A soft pixel drawn darker than it should be on the light ground.
                            dark += (image.colour[i] >> 24) < 128 && half == 0 &&
                                    Channel(drawn, 8) + Tolerance(depth) < Channel(expected, 8);
                            if (first.empty()) {
                                char text[120];
                                snprintf(text, sizeof text, "(%d, %d) on ground %d: drawn %06X, expected %06X, alpha %u",
                                         x, y, half, drawn, expected, image.colour[i] >> 24);
                                first = text;
                            }
                        }
                }
                if (best < 0 || wrong < best) {
                    best = wrong;
                    halo = dark;
                    where = first;
                }
            }
        EXPECT_EQ(0, best) << cell.path << " at " << cell.size << " frame " << cell.step << " (depth " << depth
                           << "): " << halo << " soft pixels drawn dark (a halo); first wrong pixel " << where;
    }
    DeleteObject(target);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}
