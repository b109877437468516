// Contact sheets: the pictures side by side, each on a light and a dark
// checked ground so that edges and transparency show.
#include "tools/content/preview.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <stdio.h>

#include <algorithm>
#include <filesystem>

void AddPreview(PreviewSheet *sheet, const std::string &label, const Pixels &picture)
{
    if (!sheet)
        return;
    if (sheet->large && picture.width > 64)
        sheet = sheet->large;
    sheet->labels.push_back(label);
    sheet->pictures.push_back(picture);
}

static void Ground(uint8_t *o, int x, int y, bool dark)
{
    bool check = ((x / 8) + (y / 8)) % 2 == 0;
    uint8_t v = dark ? (check ? 40 : 56) : (check ? 236 : 212);
    o[0] = o[1] = o[2] = v;
    o[3] = 255;
}

void WriteSheet(const std::string &folder, const PreviewSheet &sheet)
{
    const int gap = 8, perRow = sheet.pictures.size() > 12 ? 12 : (int)sheet.pictures.size();
    int cellW = 0, cellH = 0;
    for (const Pixels &p : sheet.pictures) {
        cellW = std::max(cellW, p.width * sheet.zoom);
        cellH = std::max(cellH, p.height * sheet.zoom);
    }
    int rows = ((int)sheet.pictures.size() + perRow - 1) / perRow;
    int width = perRow * (cellW + gap) + gap;
    int height = rows * 2 * (cellH + gap) + gap;
    std::vector<uint8_t> img((size_t)width * height * 4, 255);
    for (size_t k = 0; k < sheet.pictures.size(); k++) {
        const Pixels &p = sheet.pictures[k];
        int col = (int)k % perRow, row = (int)k / perRow;
        for (int half = 0; half < 2; half++) {
            int ox = gap + col * (cellW + gap), oy = gap + (row * 2 + half) * (cellH + gap);
            for (int y = 0; y < cellH; y++)
                for (int x = 0; x < cellW; x++) {
                    uint8_t *o = &img[((size_t)(oy + y) * width + ox + x) * 4];
                    Ground(o, x, y, half == 1);
                    int sx = x / sheet.zoom, sy = y / sheet.zoom;
                    if (sx >= p.width || sy >= p.height)
                        continue;
                    const uint8_t *s = &p.rgba[((size_t)sy * p.width + sx) * 4];
                    for (int c = 0; c < 3; c++)
                        o[c] = (uint8_t)((s[c] * s[3] + o[c] * (255 - s[3]) + 127) / 255);
                }
        }
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string path = folder + "/" + sheet.name + ".png";
    if (!stbi_write_png(path.c_str(), width, height, 4, img.data(), width * 4))
        fprintf(stderr, "quennel-content: cannot write %s\n", path.c_str());
}
