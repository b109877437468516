#include "tests/art_testing.h"

#include "tools/art/encode_stages.h"

#include <gtest/gtest.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

std::vector<uint8_t> MakePicture(PictureKind kind, int width, int height)
{
    std::vector<uint8_t> px((size_t)width * height * 3);
    uint32_t seed = 12345;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            double u = (x + 0.5) / width, v = (y + 0.5) / height;
            double b = 0, g = 0, r = 0;
            switch (kind) {
            case kGradient:
                b = 255 * u, g = 255 * v, r = 255 * (1 - u) * v;
                break;
            case kDiscs: {
                b = g = r = 20;
                const double discs[3][3] = {{0.3, 0.4, 0.25}, {0.7, 0.5, 0.3}, {0.5, 0.8, 0.15}};
                for (int k = 0; k < 3; k++) {
                    double d = hypot(u - discs[k][0], (v - discs[k][1]) * height / width) / discs[k][2];
                    double a = 1 / (1 + exp((d - 1) * 12));  // soft edge
                    (k == 0 ? r : k == 1 ? g : b) += 220 * a;
                }
                break;
            }
            case kWaves:
                b = 128 + 60 * sin(9 * u + 3 * sin(7 * v)) + 40 * sin(23 * v);
                g = 110 + 70 * sin(5 * v + 4 * u) * cos(11 * u);
                r = 140 + 80 * sin(13 * u * v + 2);
                break;
            case kChecker:
                b = g = r = ((x / 8 + y / 8) & 1) ? 235 : 25;
                if (x == y)
                    r = 255, g = b = 0;
                break;
            case kNoise:
                seed = seed * 1664525 + 1013904223;
                b = 80 + 100 * u + (seed >> 24) % 40;
                g = 60 + 120 * v + (seed >> 16) % 40;
                r = 150 + (seed >> 8) % 60;
                break;
            }
            uint8_t *p = &px[((size_t)y * width + x) * 3];
            p[0] = (uint8_t)fmin(255, fmax(0, b));
            p[1] = (uint8_t)fmin(255, fmax(0, g));
            p[2] = (uint8_t)fmin(255, fmax(0, r));
        }
    }
    return px;
}

std::vector<uint8_t> EncodeForTest(const std::vector<uint8_t> &bgr, int width, int height,
                                   const ArtEncodeOptions &options)
{
    std::vector<uint8_t> art;
    std::string error;
    if (!EncodeArt(bgr.data(), width, height, options, &art, &error)) {
        ADD_FAILURE() << "cannot encode " << width << " x " << height << ": " << error;
        art.clear();
    }
    return art;
}

std::string ArtBytes::Bytes() const
{
    std::string out(kArtHeaderSize, '\0');
    for (int n = 0; n < kArtHeaderFields; n++)
        for (int i = 0; i < 4; i++)
            out[4 * n + i] = (char)((uint32_t)header[n] >> (8 * i));
    out.append(data.begin(), data.end());
    return out;
}

std::vector<uint8_t> PackBits(const std::vector<std::pair<unsigned, int>> &fields)
{
    std::vector<uint8_t> out;
    int used = 0;
    for (auto [value, bits] : fields)
        for (int i = 0; i < bits; i++, used++) {
            if (used % 8 == 0)
                out.push_back(0);
            out.back() |= ((value >> i) & 1) << (used % 8);
        }
    return out;
}

std::vector<uint8_t> PackControlsPlainly(const std::vector<uint8_t> &controls)
{
    // A perfect tree of depth 8: the node for the path p of d bits (first bit
    // lowest) is node offset(d) + p, the deepest first and the root last.
    // The leaf for the 8-bit path c is c XOR 0xA0, so that zero bits spell 0xA0.
    auto offset = [](int depth) { return 256 - (2 << depth); };
    std::vector<std::pair<unsigned, int>> fields = {{255, 8}};
    for (int depth = 7; depth >= 0; depth--)
        for (unsigned p = 0; p < (1u << depth); p++) {
            unsigned one = p | 1u << depth, zero = p;
            if (depth == 7)
                fields.push_back({one ^ 0xA0, 9}), fields.push_back({zero ^ 0xA0, 9});
            else
                fields.push_back({256 + offset(depth + 1) + one, 9}), fields.push_back({256 + offset(depth + 1) + zero, 9});
        }
    for (uint8_t c : controls)
        fields.push_back({c ^ 0xA0u, 8});
    std::vector<uint8_t> data = PackBits(fields);
    data.resize((data.size() + 3) / 4 * 4 + 8, 0);
    return data;
}

std::vector<uint8_t> PackPlanes(const std::vector<int32_t> &values, int32_t *streamSize)
{
    std::vector<uint8_t> controls;
    AppendRuns((const uint8_t *)values.data(), values.size() * 4, nullptr, &controls);
    *streamSize = (int32_t)controls.size();
    return PackControlsPlainly(controls);
}

std::vector<uint8_t> DecodeBytes(const std::string &art, int *width, int *height)
{
    ArtFile *file = OpenArtBytes("test.art", (const uint8_t *)art.data(), art.size());
    uint8_t *picture = DecodeArt(file);
    std::vector<uint8_t> out(picture, picture + (size_t)ArtWidth(file) * ArtHeight(file) * 3);
    if (width)
        *width = ArtWidth(file);
    if (height)
        *height = ArtHeight(file);
    free(picture);
    CloseArt(file);
    return out;
}

std::string ReadGoldenFile(const char *name)
{
    std::string path = std::string(QUENNEL_GOLDEN_FOLDER) + "/" + name;
#ifdef _WIN32
    path = "Z:" + path;  // Wine's drive of the host's root
#endif
    std::string bytes;
    if (FILE *f = fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0)
            bytes.append(chunk, n);
        fclose(f);
    }
    return bytes;
}
