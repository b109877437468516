// The painter's operations that are not templates: pictures to bytes, boxes,
// the distance functions of tapered strokes, polygons and sparkles, and the
// hash and noise the scenes scatter things with.
#include "tools/wallart/painter.h"

Picture NewPicture(int width, int height, Color fill)
{
    Picture p;
    p.width = width;
    p.height = height;
    p.px.assign((size_t)width * height, fill);
    return p;
}

std::vector<uint8_t> PictureBytes(const Picture &picture)
{
    std::vector<uint8_t> bgr(picture.px.size() * 3);
    auto byte = [](float v) { return (uint8_t)lrintf(Clamp01(v) * 255); };
    for (size_t i = 0; i < picture.px.size(); i++) {
        bgr[3 * i] = byte(picture.px[i].b);
        bgr[3 * i + 1] = byte(picture.px[i].g);
        bgr[3 * i + 2] = byte(picture.px[i].r);
    }
    return bgr;
}

Box Clip(const Picture &picture, float cx, float cy, float reach)
{
    auto cut = [](float v, int limit) { return (int)std::min((float)limit, std::max(0.0f, v)); };
    return {cut(floorf(cx - reach), picture.width), cut(floorf(cy - reach), picture.height),
            cut(ceilf(cx + reach) + 1, picture.width), cut(ceilf(cy + reach) + 1, picture.height)};
}

float SdTaper(float x, float y, float ax, float ay, float ra, float bx, float by, float rb)
{
    // Along the axis from a to b, the outline touches both circles on their
    // common tangents; past the tangent points the nearer circle decides.
    float dx = bx - ax, dy = by - ay;
    float l2 = dx * dx + dy * dy;
    if (l2 <= 0)
        return hypotf(x - ax, y - ay) - std::max(ra, rb);
    float rr = ra - rb, a2 = l2 - rr * rr, il2 = 1 / l2;
    float px = x - ax, py = y - ay;
    float along = px * dx + py * dy, beyond = along - l2;
    float qx = px * l2 - dx * along, qy = py * l2 - dy * along;
    float x2 = qx * qx + qy * qy, y2 = along * along * l2, z2 = beyond * beyond * l2;
    float k = (rr > 0 ? 1 : rr < 0 ? -1 : 0) * rr * rr * x2;
    if ((beyond > 0 ? 1 : beyond < 0 ? -1 : 0) * a2 * z2 > k)
        return sqrtf(x2 + z2) * il2 - rb;
    if ((along > 0 ? 1 : along < 0 ? -1 : 0) * a2 * y2 < k)
        return sqrtf(x2 + y2) * il2 - ra;
    return (sqrtf(x2 * a2 * il2) + along * rr) * il2 - ra;
}

float SdSparkle(float x, float y, float cx, float cy, float reach, float waist)
{
    float u = fabsf(x - cx), v = fabsf(y - cy);
    // One quadrant of the star: a kite from the centre to the two arm tips.
    float kite[8] = {0, 0, reach, 0, waist, waist, 0, reach};
    return SdPolygon(u, v, kite, 4);
}

uint32_t Hash32(uint32_t v)
{
    v ^= v >> 16;
    v *= 0x7FEB352Du;
    v ^= v >> 15;
    v *= 0x846CA68Bu;
    v ^= v >> 16;
    return v;
}

float ValueNoise(float x, float y, uint32_t seed)
{
    float fx = floorf(x), fy = floorf(y);
    int ix = (int)fx, iy = (int)fy;
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto corner = [seed](int i, int j) {
        uint32_t h = Hash32((uint32_t)i * 0x8DA6B343u ^ (uint32_t)j * 0xD8163841u ^ seed * 0xCB1AB31Fu);
        return (h >> 8) * (2.0f / 16777216) - 1;
    };
    float top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * tx;
    float bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

float Fractal(float x, float y, int octaves, uint32_t seed)
{
    float sum = 0, weight = 0.5f, scale = 1;
    for (int k = 0; k < octaves; k++) {
        sum += weight * ValueNoise(x * scale, y * scale, seed + (uint32_t)k);
        weight *= 0.5f;
        scale *= 2.03f;
    }
    return sum * 2;  // about -1..1
}
