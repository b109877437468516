// The mouse cursors of each colour: fourteen roles, 32 x 32 with alpha, the
// busy ones (Wait, AppStarting) animated. Each shape is filled in the colour
// and edged in a contrasting tone so it shows on any ground.
#include "tools/content/emblems.h"
#include "tools/content/preview.h"

namespace {

constexpr int kSize = 32;
constexpr int kFrames = 8;          // frames of the animated cursors
constexpr uint32_t kFrameJiffies = 6;  // 1/60 s per frame: 10 frames a second

struct Style {
    Rgba fill, fillLight, edge;
};

Style StyleOf(int color)
{
    switch (color) {
    case kBlack: return {Hex(0x18161C), Hex(0x4A4656), Hex(0xF4F2FA)};
    case kRed: return {Hex(0xC42418), Hex(0xF0664A), Hex(0xFFFFFF)};
    case kWhite: return {Hex(0xF4F0E4), Hex(0xFFFFFF), Hex(0x141210)};
    case kBlue: return {Hex(0x1E5CC4), Hex(0x5C9CF0), Hex(0xFFFFFF)};
    default: return {Hex(0x1E7C34), Hex(0x5CC06A), Hex(0xFFFFFF)};
    }
}

constexpr float kEdge = 1.15f;  // width of the edge around every shape, in pixels

// A shape filled in the style, lit from the upper left, with its edge.
template <class Shape> void Stamp(Canvas &c, const Style &st, Shape shape)
{
    FillSolid(c, [=](float x, float y) { return shape(x, y) - kEdge; }, st.edge);
    FillShape(c, shape, [=](float x, float y) { return Mix(st.fillLight, st.fill, Clamp01((x + y) / 40.0f + 0.15f)); });
}

float Arrow(float x, float y)
{
    static const float kArrow[] = {1.5f, 1.5f, 1.5f, 21.0f, 6.2f, 16.6f, 9.8f, 24.6f,
                                   13.0f, 23.2f, 9.4f, 15.2f, 15.8f, 15.2f};
    return SdPolygon(x, y, kArrow, 7) - 0.15f;
}

// A line from a to b with an arrowhead at each end, or at b only.
float Arrows(float x, float y, float ax, float ay, float bx, float by, bool both)
{
    float dx = bx - ax, dy = by - ay, len = hypotf(dx, dy);
    float ux = dx / len, uy = dy / len;  // along the line
    float nx = -uy, ny = ux;             // across it
    const float head = 6.5f, half = 5.0f, shaft = 1.1f;
    float sa = both ? head - 0.5f : 0, sb = head - 0.5f;
    float d = SdSegment(x, y, ax + ux * sa, ay + uy * sa, bx - ux * sb, by - uy * sb) - shaft;
    auto tip = [&](float tx, float ty, float dirx, float diry) {
        float baseX = tx - dirx * head, baseY = ty - diry * head;
        float tri[6] = {tx, ty, baseX + nx * half, baseY + ny * half, baseX - nx * half, baseY - ny * half};
        return SdPolygon(x, y, tri, 3) - 0.2f;
    };
    d = std::min(d, tip(bx, by, ux, uy));
    if (both)
        d = std::min(d, tip(ax, ay, -ux, -uy));
    return d;
}

// The ring of dots of the busy cursors: frame picks the brightest dot.
void BusyRing(Canvas &c, const Style &st, float cx, float cy, float ring, float dot, int frame)
{
    for (int i = 0; i < 8; i++) {
        float a = (i * 45 - 90) / 57.29578f;
        float x = cx + ring * cosf(a), y = cy + ring * sinf(a);
        int age = (frame - i + 8) % 8;  // 0: the dot just lit
        float glow = 1.0f - age / 8.0f;
        FillSolid(c, [=](float px, float py) { return SdCircle(px, py, x, y, dot + kEdge * 0.8f); }, st.edge);
        FillSolid(c, [=](float px, float py) { return SdCircle(px, py, x, y, dot); }, Mix(st.fill, st.fillLight, 0.2f));
        FillSolid(c, [=](float px, float py) { return SdCircle(px, py, x, y, dot * 0.75f); },
                  WithAlpha(Mix(st.fillLight, Hex(0xFFFFFF), 0.4f), glow));
    }
}

Pixels Finished(Canvas &c)
{
    AddShadow(c, 1.0f, 1.4f, 1.2f, 0.45f);
    return Finish(c);
}

struct Role {
    const char *name;   // theme-file key
    const char *file;   // file name below the colour's Cursors folder
    int hotX, hotY;
    bool animated;
};

const Role kRoles[14] = {
    {"Arrow", "Arrow.cur", 1, 1, false},       {"Help", "Help.cur", 1, 1, false},
    {"AppStarting", "Starting.ani", 1, 1, true}, {"Crosshair", "Cross.cur", 16, 16, false},
    {"IBeam", "Beam.cur", 16, 16, false},      {"No", "No.cur", 16, 16, false},
    {"NWPen", "Pen.cur", 3, 28, false},        {"SizeAll", "Move.cur", 16, 16, false},
    {"SizeNESW", "SizeNESW.cur", 16, 16, false}, {"SizeNS", "SizeNS.cur", 16, 16, false},
    {"SizeWE", "SizeWE.cur", 16, 16, false},   {"SizeNWSE", "SizeNWSE.cur", 16, 16, false},
    {"UpArrow", "Up.cur", 16, 1, false},       {"Wait", "Wait.ani", 16, 16, true},
};

Pixels Draw(int role, const Style &st, int frame)
{
    Canvas c = NewCanvas(kSize, kSize, 8);
    const float m = 16.5f;  // the middle pixel's centre
    switch (role) {
    case 0: Stamp(c, st, Arrow); break;
    case 1: {  // Help: the arrow and a question in a bubble
        Stamp(c, st, Arrow);
        Stamp(c, st, [](float x, float y) { return SdCircle(x, y, 23.0f, 10.0f, 6.6f); });
        FillSolid(c, [](float x, float y) {
            float hook = SdArc(x, y, 23.0f, 8.6f, 2.4f, -200, 70) - 0.95f;
            float stem = SdSegment(x, y, 23.8f, 10.8f, 23.0f, 12.0f) - 0.95f;
            return std::min(std::min(hook, stem), SdCircle(x, y, 23.0f, 14.4f, 1.05f));
        }, st.edge);
        break;
    }
    case 2:  // AppStarting: the arrow and a small busy ring
        Stamp(c, st, Arrow);
        BusyRing(c, st, 22.5f, 22.5f, 5.6f, 1.6f, frame);
        break;
    case 3:  // Crosshair
        Stamp(c, st, [=](float x, float y) {
            float h = std::min(SdBox(x, y, 7.0f, m, 5.5f, 0.45f), SdBox(x, y, 26.0f, m, 5.5f, 0.45f));
            float v = std::min(SdBox(x, y, m, 7.0f, 0.45f, 5.5f), SdBox(x, y, m, 26.0f, 0.45f, 5.5f));
            return std::min(std::min(h, v), SdCircle(x, y, m, m, 0.9f));
        });
        break;
    case 4:  // IBeam
        Stamp(c, st, [=](float x, float y) {
            float stem = SdBox(x, y, m, m, 0.55f, 11.0f);
            float top = SdBox(x, y, m, 4.6f, 4.0f, 0.55f, 0.5f), bottom = SdBox(x, y, m, 28.4f, 4.0f, 0.55f, 0.5f);
            float bar = SdBox(x, y, m, m, 2.2f, 0.5f);
            return std::min(std::min(stem, bar), std::min(top, bottom));
        });
        break;
    case 5:  // No: a ring with a bar across
        Stamp(c, st, [=](float x, float y) {
            float ring = fabsf(SdCircle(x, y, m, m, 10.5f)) - 1.9f;
            float bar = SdSegment(x, y, m - 7.4f, m - 7.4f, m + 7.4f, m + 7.4f) - 1.9f;
            return std::min(ring, std::max(bar, SdCircle(x, y, m, m, 10.5f)));
        });
        break;
    case 6:  // NWPen: a pen writing at its tip, lower left
        Stamp(c, st, [](float x, float y) {
            float body = SdSegment(x, y, 8.6f, 23.4f, 25.5f, 6.5f) - 2.6f;
            float nib[6] = {3.5f, 28.5f, 5.2f, 21.6f, 10.4f, 26.8f};
            return std::min(body, SdPolygon(x, y, nib, 3));
        });
        FillSolid(c, [](float x, float y) { return SdSegment(x, y, 21.8f, 10.2f, 24.0f, 8.0f) - 2.7f; },
                  Mix(st.edge, st.fill, 0.35f));
        break;
    case 7:  // SizeAll
        Stamp(c, st, [=](float x, float y) {
            return std::min(Arrows(x, y, m, 1.5f, m, 31.0f, true), Arrows(x, y, 1.5f, m, 31.0f, m, true));
        });
        break;
    case 8: Stamp(c, st, [=](float x, float y) { return Arrows(x, y, 27.0f, 6.0f, 6.0f, 27.0f, true); }); break;
    case 9: Stamp(c, st, [=](float x, float y) { return Arrows(x, y, m, 2.0f, m, 31.0f, true); }); break;
    case 10: Stamp(c, st, [=](float x, float y) { return Arrows(x, y, 2.0f, m, 31.0f, m, true); }); break;
    case 11: Stamp(c, st, [=](float x, float y) { return Arrows(x, y, 6.0f, 6.0f, 27.0f, 27.0f, true); }); break;
    case 12: Stamp(c, st, [=](float x, float y) { return Arrows(x, y, m, 30.0f, m, 1.5f, false); }); break;
    default:  // Wait: a ring of dots chasing round
        BusyRing(c, st, m, m, 10.0f, 2.9f, frame);
        break;
    }
    return Finished(c);
}

}  // namespace

// The theme-file key and the file below the colour's folder, for the theme files.
const char *CursorKey(int role) { return kRoles[role].name; }
const char *CursorFile(int role) { return kRoles[role].file; }

void MakeCursors(PreviewSheet *sheet)
{
    for (int color = 0; color < kThemeCount; color++) {
        Style st = StyleOf(color);
        for (int role = 0; role < 14; role++) {
            const Role &r = kRoles[role];
            std::string path = std::string("Zorva\\") + kColorWords[color] + "\\Cursors\\" + r.file;
            if (!r.animated) {
                Pixels p = Draw(role, st, 0);
                SaveFile(path, IconFileBytes({{p, 32, r.hotX, r.hotY}}, true));
                AddPreview(sheet, r.name, p);
                continue;
            }
            std::vector<Bytes> frames;
            for (int f = 0; f < kFrames; f++) {
                Pixels p = Draw(role, st, f);
                frames.push_back(IconFileBytes({{p, 32, r.hotX, r.hotY}}, true));
                if (f == 0)
                    AddPreview(sheet, r.name, p);
            }
            std::string title = std::string(r.name) + " - Zorva The Vandrel " + kColorWords[color];
            SaveFile(path, AniFileBytes(frames, kFrameJiffies, title.c_str()));
        }
    }
}
