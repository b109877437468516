// Colour quantisation for the 8-bit pictures: a palette by median cut refined
// by nearest-mean rounds, and mapping to a palette with optional error
// diffusion. Distances weigh green most and blue least (3 : 4 : 2), close to
// how strongly the eye tells the components apart.
#include "tools/content/content.h"

#include <math.h>

#include <algorithm>

namespace {

struct Counted {
    Rgb8 c;
    uint32_t count;
};

int Distance(int r, int g, int b, Rgb8 p)
{
    int dr = r - p.r, dg = g - p.g, db = b - p.b;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

int Nearest(int r, int g, int b, const std::vector<Rgb8> &palette)
{
    int best = 0, bestDistance = 1 << 30;
    for (size_t i = 0; i < palette.size(); i++) {
        int d = Distance(r, g, b, palette[i]);
        if (d < bestDistance) {
            bestDistance = d;
            best = (int)i;
        }
    }
    return best;
}

uint8_t Channel(Rgb8 c, int axis) { return axis == 0 ? c.r : axis == 1 ? c.g : c.b; }

// A box of the median cut: a run of the colour list.
struct CutBox {
    size_t begin, end;
    double score;  // weighted spread along the widest axis; 0: cannot be split
    int axis;
};

void ScoreBox(const std::vector<Counted> &list, CutBox *box)
{
    static const double kWeight[3] = {3, 4, 2};
    box->score = 0;
    box->axis = 0;
    if (box->end - box->begin < 2)
        return;
    for (int axis = 0; axis < 3; axis++) {
        double n = 0, sum = 0, sum2 = 0;
        for (size_t i = box->begin; i < box->end; i++) {
            double v = Channel(list[i].c, axis);
            n += list[i].count;
            sum += v * list[i].count;
            sum2 += v * v * list[i].count;
        }
        double spread = (sum2 - sum * sum / n) * kWeight[axis];
        if (spread > box->score) {
            box->score = spread;
            box->axis = axis;
        }
    }
}

Rgb8 MeanOf(const std::vector<Counted> &list, size_t begin, size_t end)
{
    double n = 0, r = 0, g = 0, b = 0;
    for (size_t i = begin; i < end; i++) {
        n += list[i].count;
        r += list[i].c.r * (double)list[i].count;
        g += list[i].c.g * (double)list[i].count;
        b += list[i].c.b * (double)list[i].count;
    }
    return {(uint8_t)lround(r / n), (uint8_t)lround(g / n), (uint8_t)lround(b / n)};
}

}  // namespace

std::vector<Rgb8> MakePalette(const std::vector<Rgb8> &colors, int maxColors)
{
    std::vector<uint32_t> keys;
    keys.reserve(colors.size());
    for (Rgb8 c : colors)
        keys.push_back((uint32_t)c.r << 16 | c.g << 8 | c.b);
    std::sort(keys.begin(), keys.end());
    std::vector<Counted> list;
    for (size_t i = 0; i < keys.size();) {
        size_t j = i;
        while (j < keys.size() && keys[j] == keys[i])
            j++;
        list.push_back({{(uint8_t)(keys[i] >> 16), (uint8_t)(keys[i] >> 8), (uint8_t)keys[i]}, (uint32_t)(j - i)});
        i = j;
    }
    if (list.empty())
        return {};
    if ((int)list.size() <= maxColors) {
        std::vector<Rgb8> exact;
        for (const Counted &c : list)
            exact.push_back(c.c);
        return exact;
    }

    std::vector<CutBox> boxes{{0, list.size(), 0, 0}};
    ScoreBox(list, &boxes[0]);
    while ((int)boxes.size() < maxColors) {
        size_t pick = 0;
        for (size_t i = 1; i < boxes.size(); i++)
            if (boxes[i].score > boxes[pick].score)
                pick = i;
        CutBox box = boxes[pick];
        if (box.score <= 0)
            break;
        int axis = box.axis;
        std::stable_sort(list.begin() + box.begin, list.begin() + box.end, [axis](const Counted &a, const Counted &b) {
            return Channel(a.c, axis) < Channel(b.c, axis);
        });
        double total = 0, half = 0;
        for (size_t i = box.begin; i < box.end; i++)
            total += list[i].count;
        size_t cut = box.begin + 1;
        for (size_t i = box.begin; i < box.end - 1; i++) {
            half += list[i].count;
            cut = i + 1;
            if (half * 2 >= total)
                break;
        }
        CutBox low{box.begin, cut, 0, 0}, high{cut, box.end, 0, 0};
        ScoreBox(list, &low);
        ScoreBox(list, &high);
        boxes[pick] = low;
        boxes.push_back(high);
    }
    std::vector<Rgb8> palette;
    for (const CutBox &box : boxes)
        palette.push_back(MeanOf(list, box.begin, box.end));

    // Nearest-mean rounds: each colour goes to its nearest entry, each entry
    // moves to the mean of its colours.
    for (int round = 0; round < 4; round++) {
        std::vector<double> sum(palette.size() * 4, 0.0);
        for (const Counted &c : list) {
            int k = Nearest(c.c.r, c.c.g, c.c.b, palette);
            sum[k * 4] += c.count;
            sum[k * 4 + 1] += c.c.r * (double)c.count;
            sum[k * 4 + 2] += c.c.g * (double)c.count;
            sum[k * 4 + 3] += c.c.b * (double)c.count;
        }
        for (size_t k = 0; k < palette.size(); k++)
            if (sum[k * 4] > 0)
                palette[k] = {(uint8_t)lround(sum[k * 4 + 1] / sum[k * 4]), (uint8_t)lround(sum[k * 4 + 2] / sum[k * 4]),
                              (uint8_t)lround(sum[k * 4 + 3] / sum[k * 4])};
    }
    std::sort(palette.begin(), palette.end(), [](Rgb8 a, Rgb8 b) {
        return (a.r << 16 | a.g << 8 | a.b) < (b.r << 16 | b.g << 8 | b.b);
    });
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
    return palette;
}

std::vector<uint8_t> MapToPalette(const std::vector<Rgb8> &pixels, int width, int height,
                                  const std::vector<Rgb8> &palette, float diffusion,
                                  const std::vector<uint8_t> *skip)
{
    std::vector<uint8_t> out((size_t)width * height, 0);
    // Errors carried to this row and the next, in levels, with a guard cell at
    // each end so the edges need no special case.
    std::vector<float> cur((width + 2) * 3, 0.0f), next((width + 2) * 3, 0.0f);
    for (int y = 0; y < height; y++) {
        bool forward = y % 2 == 0;
        std::fill(next.begin(), next.end(), 0.0f);
        for (int step = 0; step < width; step++) {
            int x = forward ? step : width - 1 - step;
            size_t i = (size_t)y * width + x;
            if (skip && (*skip)[i])
                continue;
            float want[3] = {pixels[i].r + cur[(x + 1) * 3], pixels[i].g + cur[(x + 1) * 3 + 1],
                             pixels[i].b + cur[(x + 1) * 3 + 2]};
            int v[3];
            for (int k = 0; k < 3; k++)
                v[k] = (int)lroundf(std::min(255.0f, std::max(0.0f, want[k])));
            int index = Nearest(v[0], v[1], v[2], palette);
            out[i] = (uint8_t)index;
            if (diffusion <= 0)
                continue;
            Rgb8 got = palette[index];
            float err[3] = {(want[0] - got.r) * diffusion, (want[1] - got.g) * diffusion,
                            (want[2] - got.b) * diffusion};
            int ahead = forward ? 1 : -1;
            for (int k = 0; k < 3; k++) {
                cur[(x + 1 + ahead) * 3 + k] += err[k] * 7 / 16;
                next[(x + 1 - ahead) * 3 + k] += err[k] * 3 / 16;
                next[(x + 1) * 3 + k] += err[k] * 5 / 16;
                next[(x + 1 + ahead) * 3 + k] += err[k] * 1 / 16;
            }
        }
        std::swap(cur, next);
    }
    return out;
}

const std::vector<Rgb8> &StandardColors16()
{
    static const std::vector<Rgb8> colors = {
        {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
        {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0},
        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
    };
    return colors;
}
