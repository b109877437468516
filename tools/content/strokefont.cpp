// A geometric stroke font of capitals for titles: each letter is a few lines
// and circular arcs in a box of cap height 1 (y down, 0 at the cap line, 1 on
// the baseline), drawn with round ends at any stroke width.
#include "tools/content/text.h"

namespace {

struct Stroke {
    char kind;            // 'L' line x0 y0 x1 y1; 'A' arc cx cy r a0 a1 (degrees, 90 down)
    float v[5];
};

struct Letter {
    char code;
    float width;          // advance without spacing, in cap heights
    Stroke strokes[5];
    int count;
};

const Letter kLetters[] = {
    {' ', 0.42f, {}, 0},
    {'D', 0.80f, {{'L', {0, 0, 0, 1}}, {'L', {0, 0, 0.30f, 0}}, {'L', {0, 1, 0.30f, 1}},
                  {'A', {0.30f, 0.5f, 0.5f, -90, 90}}}, 4},
    {'E', 0.60f, {{'L', {0, 0, 0, 1}}, {'L', {0, 0, 0.60f, 0}}, {'L', {0, 0.5f, 0.50f, 0.5f}},
                  {'L', {0, 1, 0.60f, 1}}}, 4},
    {'S', 0.62f, {{'A', {0.31f, 0.255f, 0.255f, -270, -25}}, {'A', {0.31f, 0.745f, 0.255f, -90, 155}}}, 2},
    {'K', 0.64f, {{'L', {0, 0, 0, 1}}, {'L', {0.62f, 0, 0.02f, 0.60f}}, {'L', {0.22f, 0.40f, 0.64f, 1}}}, 3},
    {'T', 0.70f, {{'L', {0, 0, 0.70f, 0}}, {'L', {0.35f, 0, 0.35f, 1}}}, 2},
    {'O', 1.00f, {{'A', {0.5f, 0.5f, 0.5f, -180, 180}}}, 1},
    {'P', 0.58f, {{'L', {0, 0, 0, 1}}, {'L', {0, 0, 0.30f, 0}}, {'L', {0, 0.56f, 0.30f, 0.56f}},
                  {'A', {0.30f, 0.28f, 0.28f, -90, 90}}}, 4},
    {'Q', 1.00f, {{'A', {0.5f, 0.5f, 0.5f, -180, 180}}, {'L', {0.62f, 0.66f, 0.96f, 1.02f}}}, 2},
    {'U', 0.72f, {{'L', {0, 0, 0, 0.64f}}, {'L', {0.72f, 0, 0.72f, 0.64f}}, {'A', {0.36f, 0.64f, 0.36f, 0, 180}}}, 3},
    {'N', 0.72f, {{'L', {0, 1, 0, 0}}, {'L', {0, 0, 0.72f, 1}}, {'L', {0.72f, 1, 0.72f, 0}}}, 3},
    {'L', 0.56f, {{'L', {0, 0, 0, 1}}, {'L', {0, 1, 0.56f, 1}}}, 2},
};

const Letter *Find(char code)
{
    for (const Letter &l : kLetters)
        if (l.code == code)
            return &l;
    return nullptr;
}

constexpr float kSpacing = 0.30f;  // between letters, in cap heights

}  // namespace

float TitleWidth(const char *text, float h)
{
    float w = 0;
    int count = 0;
    for (const char *p = text; *p; p++)
        if (const Letter *l = Find(*p)) {
            w += l->width;
            count++;
        }
    return count ? (w + (count - 1) * kSpacing) * h : 0;
}

float TitleDistance(const char *text, float x, float y, float h, float stroke, float px, float py)
{
    float best = 1e30f, at = x;
    for (const char *p = text; *p; p++) {
        const Letter *l = Find(*p);
        if (!l)
            continue;
        float u = (px - at) / h, v = (py - y) / h;
        // Letters far from the point cannot be nearest.
        if (u > -1 && u < l->width + 1)
            for (int i = 0; i < l->count; i++) {
                const Stroke &s = l->strokes[i];
                float d = s.kind == 'L' ? SdSegment(u, v, s.v[0], s.v[1], s.v[2], s.v[3])
                                        : SdArc(u, v, s.v[0], s.v[1], s.v[2], s.v[3], s.v[4]);
                best = std::min(best, d);
            }
        at += (l->width + kSpacing) * h;
    }
    return (best - stroke) * h;
}
