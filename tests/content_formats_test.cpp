// The generated binary files read back field by field: icons with their masks,
// cursors with their hot spots, animated cursors, sounds, the About picture
// and the palette it is drawn through. Under Wine the system loads them too.
#include "tests/content_testing.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <set>

#ifdef _WIN32
#include <windows.h>
#endif

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

namespace {

// A PNG image of an icon file: a whole PNG file of 8-bit red, green, blue and
// alpha at the size its entry gives. The system makes its mask from the alpha.
bool ReadPngImage(const std::string &bytes, size_t offset, size_t size, IconImageInfo *info, const std::string &name)
{
    ByteReader r(bytes);
    auto big32 = [&](size_t at) { return r.U8(at) << 24 | r.U8(at + 1) << 16 | r.U8(at + 2) << 8 | r.U8(at + 3); };
    EXPECT_EQ("IHDR", r.Tag(offset + 12)) << name;
    EXPECT_EQ((uint32_t)info->width, big32(offset + 16)) << name;
    EXPECT_EQ((uint32_t)info->height, big32(offset + 20)) << name;
    EXPECT_EQ(8u, r.U8(offset + 24)) << name << ": 8 bits a channel";
    EXPECT_EQ(6u, r.U8(offset + 25)) << name << ": red, green, blue and alpha";
    int width = 0, height = 0, channels = 0;
    stbi_uc *pixels = stbi_load_from_memory((const stbi_uc *)bytes.data() + offset, (int)size, &width, &height,
                                            &channels, 4);
    EXPECT_NE(nullptr, pixels) << name << ": " << stbi_failure_reason();
    if (!pixels)
        return false;
    bool whole = width == info->width && height == info->height;
    EXPECT_TRUE(whole) << name << ": " << width << "x" << height;
    for (int i = 0; whole && i < width * height; i++) {
        const stbi_uc *p = pixels + 4 * i;
        info->colour.push_back((uint32_t)p[3] << 24 | p[0] << 16 | p[1] << 8 | p[2]);
        info->opaque.push_back(p[3] >= 128);
    }
    stbi_image_free(pixels);
    info->depth = 32;
    info->compressed = true;
    return whole;
}

}  // namespace

std::vector<IconImageInfo> ReadIconFile(const std::string &bytes, int type, const std::string &name)
{
    std::vector<IconImageInfo> images;
    ByteReader r(bytes);
    EXPECT_EQ(0u, r.U16(0)) << name;
    EXPECT_EQ((uint32_t)type, r.U16(2)) << name;
    uint32_t count = r.U16(4);
    EXPECT_GE(count, 1u) << name;
    for (uint32_t i = 0; i < count && !r.failed; i++) {
        size_t e = 6 + 16 * i;
        IconImageInfo info = {};
        info.width = r.U8(e) ? (int)r.U8(e) : 256;
        info.height = r.U8(e + 1) ? (int)r.U8(e + 1) : 256;
        uint32_t colours = r.U8(e + 2), size = r.U32(e + 8), offset = r.U32(e + 12);
        EXPECT_LE((uint64_t)offset + size, bytes.size()) << name;
        if ((uint64_t)offset + size > bytes.size())
            return images;
        info.bytes = size;
        if (bytes.compare(offset, 8, "\x89PNG\r\n\x1a\n", 8) == 0) {
            EXPECT_EQ(1, type) << name << ": only an icon's image may be a PNG picture";
            EXPECT_EQ(0u, colours) << name;
            EXPECT_EQ(1u, r.U16(e + 4)) << name;
            EXPECT_EQ(32u, r.U16(e + 6)) << name;
            if (!ReadPngImage(bytes, offset, size, &info, name))
                return images;
            images.push_back(info);
            continue;
        }
        EXPECT_EQ(40u, r.U32(offset)) << name;
        EXPECT_EQ((uint32_t)info.width, r.U32(offset + 4)) << name;
        EXPECT_EQ((uint32_t)info.height * 2, r.U32(offset + 8)) << name << ": the height counts both masks";
        EXPECT_EQ(1u, r.U16(offset + 12)) << name;
        info.depth = (int)r.U16(offset + 14);
        EXPECT_EQ(0u, r.U32(offset + 16)) << name << ": uncompressed";
        if (type == 1) {
            EXPECT_EQ(1u, r.U16(e + 4)) << name;
            EXPECT_EQ((uint32_t)info.depth, r.U16(e + 6)) << name;
        } else {
            info.hotX = (int)r.U16(e + 4);
            info.hotY = (int)r.U16(e + 6);
        }
        EXPECT_EQ(info.depth == 4 ? 16u : 0u, colours) << name;
        int tableEntries = info.depth <= 8 ? 1 << info.depth : 0;
        size_t colourRow = ((size_t)info.width * info.depth + 31) / 32 * 4, maskRow = ((size_t)info.width + 31) / 32 * 4;
        size_t table = offset + 40, bits = table + 4 * tableEntries, mask = bits + colourRow * info.height;
        EXPECT_EQ((size_t)size, mask + maskRow * info.height - offset) << name << ": image size";
        if (r.failed || mask + maskRow * info.height > bytes.size())
            return images;
        for (int y = 0; y < info.height; y++)
            for (int x = 0; x < info.width; x++) {
                size_t row = info.height - 1 - y;  // rows are stored bottom-up
                bool clear = (r.U8(mask + row * maskRow + x / 8) >> (7 - x % 8)) & 1;
                uint32_t c;
                if (info.depth == 32) {
                    c = r.U32(bits + row * colourRow + x * 4);
                } else {
                    uint32_t index = info.depth == 8 ? r.U8(bits + row * colourRow + x)
                                                     : (r.U8(bits + row * colourRow + x / 2) >> (x % 2 ? 0 : 4)) & 15;
                    c = 0xFF000000u | (r.U32(table + 4 * index) & 0xFFFFFF);
                }
                info.opaque.push_back(!clear);
                info.colour.push_back(c);
            }
        images.push_back(info);
    }
    EXPECT_FALSE(r.failed) << name;
    return images;
}

namespace {

// The masks: a pixel that shows through draws nothing (its colour bits are
// 0), and with alpha the mask shows through exactly where alpha is below half
// (a soft shadow drawn through the mask would be a black halo).
void ExpectCleanMasks(const IconImageInfo &info, const std::string &name)
{
    int opaque = 0;
    for (size_t i = 0; i < info.opaque.size(); i++) {
        uint32_t alpha = info.colour[i] >> 24;
        if (!info.opaque[i] && !info.compressed) {
            EXPECT_EQ(0u, info.colour[i] & 0xFFFFFF) << name << " pixel " << i;
        }
        if (info.depth == 32) {
            EXPECT_EQ(alpha >= 128, (bool)info.opaque[i]) << name << " pixel " << i << " alpha " << alpha;
        }
        opaque += info.opaque[i];
    }
    // Neither empty nor a plain square.
    EXPECT_GT(opaque, (int)info.opaque.size() / 8) << name;
    EXPECT_LT(opaque, (int)info.opaque.size()) << name;
}

// Where the hot spot sits on the shape (its pixels of alpha 128 and more, the
// soft shadow left out): at the tip of the pointers, the pen's nib, the top
// of the up arrow, and in the middle of every other shape.
void ExpectHotSpot(const IconImageInfo &image, const char *key, const std::string &path)
{
    int minX = 99, minY = 99, maxX = -1, maxY = -1;
    for (int y = 0; y < image.height; y++)
        for (int x = 0; x < image.width; x++)
            if ((image.colour[y * image.width + x] >> 24) >= 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0) << path;
    float wantX = (minX + maxX) / 2.0f, wantY = (minY + maxY) / 2.0f;
    std::string k = key;
    if (k == "Arrow" || k == "Help" || k == "AppStarting") {
        wantX = (float)minX;
        wantY = (float)minY;
    } else if (k == "UpArrow") {
        wantY = (float)minY;
    } else if (k == "NWPen") {
        wantX = (float)minX;
        wantY = (float)maxY;
    }
    EXPECT_LE(fabsf(image.hotX - wantX), 1.0f) << path << " hot spot x " << image.hotX << ", shape " << minX << "-" << maxX;
    EXPECT_LE(fabsf(image.hotY - wantY), 1.0f) << path << " hot spot y " << image.hotY << ", shape " << minY << "-" << maxY;
}

std::string Load(const std::string &path)
{
    std::string bytes = ReadWholeFile(path);
    EXPECT_NE("<missing>", bytes) << path;
    return bytes;
}

// The large image is the same drawing as the small one: averaged down to the
// small one's size (a whole multiple of it), it covers the same pixels and,
// where both are solid, shows the same colours within what 256 colours and
// the drawing's finer edges change. A large picture drawn at the wrong scale,
// moved or in other colours is far outside this.
void ExpectSameDrawing(const IconImageInfo &large, const IconImageInfo &small, const std::string &name)
{
    ASSERT_EQ(0, large.width % small.width) << name;
    int k = large.width / small.width, disagree = 0, worst = 0;
    for (int y = 0; y < small.height; y++)
        for (int x = 0; x < small.width; x++) {
            int sum[4] = {};  // alpha-weighted channels, then alpha
            for (int j = 0; j < k; j++)
                for (int i = 0; i < k; i++) {
                    uint32_t c = large.colour[(size_t)(y * k + j) * large.width + x * k + i];
                    int a = (int)(c >> 24);
                    for (int ch = 0; ch < 3; ch++)
                        sum[ch] += (int)(c >> (16 - 8 * ch) & 255) * a;
                    sum[3] += a;
                }
            size_t at = (size_t)y * small.width + x;
            int alpha = sum[3] / (k * k);
            disagree += (alpha >= 128) != (bool)small.opaque[at];
            uint32_t c = small.colour[at];
            if (alpha < 250 || (c >> 24) < 250)
                continue;
            for (int ch = 0; ch < 3; ch++)
                worst = std::max(worst, abs(sum[ch] / sum[3] - (int)(c >> (16 - 8 * ch) & 255)));
        }
    EXPECT_LE(disagree, small.width * small.height / 200) << name << ": pixels covered by one and not the other";
    EXPECT_LE(worst, 24) << name << ": the largest difference of a solid pixel's colour";
}

}  // namespace

// The file a theme value names, without the icon index.
std::string ThemeFilePath(const std::string &dir, const std::string &value)
{
    std::string rest = value.substr(strlen("%ThemeDir%"));
    size_t comma = rest.rfind(',');
    if (comma != std::string::npos)
        rest.resize(comma);
    return dir + "\\" + rest;
}

// The cursor files of one RIFF "ACON" animation, each a whole cursor file.
std::vector<std::string> AniFrames(const std::string &bytes, const std::string &name, uint32_t *frames)
{
    std::vector<std::string> out;
    ByteReader r(bytes);
    EXPECT_EQ("RIFF", r.Tag(0)) << name;
    EXPECT_EQ(bytes.size() - 8, r.U32(4)) << name;
    EXPECT_EQ("ACON", r.Tag(8)) << name;
    *frames = 0;
    for (size_t at = 12; at + 8 <= bytes.size() && !r.failed;) {
        std::string tag = r.Tag(at);
        uint32_t size = r.U32(at + 4);
        EXPECT_LE(at + 8 + (uint64_t)size, bytes.size()) << name << " chunk " << tag;
        if (at + 8 + (uint64_t)size > bytes.size())
            break;
        if (tag == "anih") {
            EXPECT_EQ(36u, size);
            EXPECT_EQ(36u, r.U32(at + 8));
            *frames = r.U32(at + 12);
            EXPECT_EQ(*frames, r.U32(at + 16)) << "steps";
            EXPECT_GT(r.U32(at + 36), 0u) << "display rate";
            EXPECT_EQ(1u, r.U32(at + 40) & 1) << "frames are icon data";
        } else if (tag == "LIST" && r.Tag(at + 8) == "fram") {
            for (size_t f = at + 12; f + 8 <= at + 8 + size;) {
                EXPECT_EQ("icon", r.Tag(f));
                uint32_t fsize = r.U32(f + 4);
                if (f + 8 + (uint64_t)fsize > at + 8 + size)
                    break;
                out.push_back(bytes.substr(f + 8, fsize));
                f += 8 + fsize + (fsize & 1);
            }
        }
        at += 8 + size + (size & 1);
    }
    return out;
}

TEST_F(ContentTest, ProgramIconsHaveTheirSizesAndColourCounts)
{
    // The program's icon at the system's small and large icon sizes at 100 to
    // 200 % in 256 colours, 32 first, then at 256 compressed with alpha.
    auto balls = ReadIconFile(Load(dir + "\\resources\\balls.ico"), 1, "balls");
    const int ballsSizes[] = {32, 16, 20, 24, 28, 40, 48, 56, 64, 256};
    ASSERT_EQ(10u, balls.size());
    for (int i = 0; i < 10; i++) {
        EXPECT_EQ(ballsSizes[i], balls[i].width);
        EXPECT_EQ(ballsSizes[i], balls[i].height);
        EXPECT_EQ(i < 9 ? 8 : 32, balls[i].depth);
        EXPECT_EQ(i == 9, balls[i].compressed);
        ExpectCleanMasks(balls[i], "balls");
    }
    EXPECT_LT(balls[9].bytes, 256u * 256 * 4 / 3) << "the 256-pixel image is compressed";
    ExpectSameDrawing(balls[9], balls[8], "balls at 256 and 64");
    // The five balls in their colours: a black, a red, a white, a blue and a green one.
    std::set<int> hues;
    for (size_t i = 0; i < balls[0].colour.size(); i++) {
        if (!balls[0].opaque[i])
            continue;
        uint32_t c = balls[0].colour[i];
        int red = (c >> 16) & 255, green = (c >> 8) & 255, blue = c & 255;
        if (red > 150 && green < 80 && blue < 80) hues.insert(1);
        if (blue > 150 && red < 100 && green < 150) hues.insert(3);
        if (green > 110 && red < 100 && blue < 100) hues.insert(4);
        if (red > 225 && green > 225 && blue > 215) hues.insert(2);
        if (red < 70 && green < 70 && blue < 80) hues.insert(0);
    }
    EXPECT_EQ(5u, hues.size());

    // Each coin at 48 in 256 colours (and, but white, in 16), then in 256
    // colours at the system's icon size at 96, 120, 168 and 192 dots an inch
    // (144 is 48): the colour buttons draw it at the window's dpi from an
    // image of that size.
    for (const char *color : kContentColors) {
        std::string name = color;
        auto images = ReadIconFile(Load(dir + "\\resources\\" + name + ".ico"), 1, name);
        std::vector<std::pair<int, int>> kinds;  // size, depth
        for (const IconImageInfo &image : images)
            kinds.push_back({image.width, image.depth});
        std::vector<std::pair<int, int>> expected = {{48, 8}, {48, 4}, {32, 8}, {40, 8}, {56, 8}, {64, 8}};
        if (name == "WHITE")
            expected.erase(expected.begin() + 1);
        EXPECT_EQ(expected, kinds) << name;
        for (const IconImageInfo &image : images) {
            EXPECT_EQ(image.width, image.height);
            ExpectCleanMasks(image, name);
            // A round coin: the corners show through, the middle does not.
            int half = image.width / 2;
            EXPECT_FALSE(image.opaque[0]);
            EXPECT_TRUE(image.opaque[(size_t)half * image.width + half]);
        }
    }
}

TEST_F(ContentTest, DesktopIconsHoldEverySizeUpTo256WithAlphaAndThreeIn256Colours)
{
    static const char *const kBin = "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";
    static const char *const kIcons[4][2] = {
        {"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon", "DefaultValue"},
        {"CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon", "DefaultValue"},
        {kBin, "full"},
        {kBin, "empty"},
    };
    const std::set<std::pair<int, int>> expected = {{16, 32}, {20, 32}, {24, 32}, {32, 32}, {40, 32}, {48, 32},
                                                    {64, 32}, {256, 32}, {16, 8},  {32, 8},  {48, 8}};
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        for (const auto &icon : kIcons) {
            std::string path = ThemeFilePath(dir, ReadProfile(file, icon[0], icon[1]));
            std::set<std::pair<int, int>> kinds;
            std::vector<IconImageInfo> images = ReadIconFile(Load(path), 1, path);
            const IconImageInfo *large = nullptr, *largest = nullptr;
            for (const IconImageInfo &image : images) {
                kinds.insert({image.width, image.depth});
                ExpectCleanMasks(image, path);
                EXPECT_EQ(image.width == 256, image.compressed) << path << " at " << image.width;
                if (image.depth == 32 && image.width == 64)
                    large = &image;
                if (image.width == 256)
                    largest = &image;
            }
            EXPECT_EQ(images.size(), kinds.size()) << path << ": one image of each kind";
            EXPECT_EQ(expected, kinds) << path;
            if (large && largest) {
                EXPECT_LT(largest->bytes, 256u * 256 * 4 / 2) << path << ": the 256-pixel image is compressed";
                ExpectSameDrawing(*largest, *large, path + " at 256 and 64");
            }
        }
    }
}

TEST_F(ContentTest, CursorsHaveTheirHotSpotsOnTheirShapes)
{
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        for (const char *key : kCursorKeys) {
            std::string path = ThemeFilePath(dir, ReadProfile(file, "Control Panel\\Cursors", key));
            std::string bytes = Load(path);
            std::vector<std::string> frames;
            bool animated = path.size() > 4 && path.substr(path.size() - 4) == ".ani";
            EXPECT_EQ(animated, !strcmp(key, "Wait") || !strcmp(key, "AppStarting")) << path;
            if (animated) {
                uint32_t count = 0;
                frames = AniFrames(bytes, path, &count);
                EXPECT_GE(frames.size(), 4u) << path;
                EXPECT_EQ(count, frames.size()) << path;
            } else {
                frames.push_back(bytes);
            }
            for (const std::string &frame : frames) {
                auto images = ReadIconFile(frame, 2, path);
                ASSERT_EQ(1u, images.size()) << path;
                const IconImageInfo &image = images[0];
                EXPECT_EQ(32, image.width);
                ExpectCleanMasks(image, path);
                ASSERT_TRUE(image.hotX >= 0 && image.hotX < 32 && image.hotY >= 0 && image.hotY < 32) << path;
                ExpectHotSpot(image, key, path);
            }
        }
    }
}

TEST_F(ContentTest, SoundsAreShortPcmMono16Bit)
{
    uint64_t total = 0;
    std::set<std::string> seen;
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        for (const std::string &section : SoundSections()) {
            std::string path = ThemeFilePath(dir, ReadProfile(file, section.c_str(), "DefaultValue"));
            std::string bytes = Load(path);
            ByteReader r(bytes);
            EXPECT_EQ("RIFF", r.Tag(0)) << path;
            EXPECT_EQ(bytes.size() - 8, r.U32(4)) << path;
            EXPECT_EQ("WAVE", r.Tag(8)) << path;
            EXPECT_EQ("fmt ", r.Tag(12)) << path;
            EXPECT_EQ(16u, r.U32(16));
            EXPECT_EQ(1u, r.U16(20)) << "PCM";
            EXPECT_EQ(1u, r.U16(22)) << "mono";
            EXPECT_EQ(22050u, r.U32(24));
            EXPECT_EQ(44100u, r.U32(28));
            EXPECT_EQ(2u, r.U16(32));
            EXPECT_EQ(16u, r.U16(34));
            EXPECT_EQ("data", r.Tag(36));
            uint32_t size = r.U32(40);
            EXPECT_EQ(bytes.size(), 44 + (size_t)size) << path;
            EXPECT_LE(size, 22050u * 2) << path << ": at most a second";
            EXPECT_GE(size, 22050u * 2 / 20) << path;
            int peak = 0;
            for (size_t at = 44; at + 1 < bytes.size(); at += 2)
                peak = std::max(peak, abs((int16_t)r.U16(at)));
            EXPECT_GT(peak, 8000) << path << ": audible";
            EXPECT_FALSE(r.failed) << path;
            if (seen.insert(path).second)
                total += bytes.size();
        }
    }
    EXPECT_LT(total, 3u * 1024 * 1024) << "sounds of all five themes";
}

TEST_F(ContentTest, AboutPictureAndItsPaletteAgree)
{
    std::string bmp = Load(dir + "\\resources\\about.bmp");
    ByteReader r(bmp);
    EXPECT_EQ(0x4D42u, r.U16(0));
    EXPECT_EQ(bmp.size(), r.U32(2));
    EXPECT_EQ(14u + 40 + 1024, r.U32(10)) << "rows right after the 256-entry colour table";
    EXPECT_EQ(40u, r.U32(14));
    EXPECT_EQ(500u, r.U32(18));
    EXPECT_EQ(412u, r.U32(22)) << "positive: bottom-up";
    EXPECT_EQ(1u, r.U16(26));
    EXPECT_EQ(8u, r.U16(28));
    EXPECT_EQ(0u, r.U32(30)) << "uncompressed";
    EXPECT_EQ(256u, r.U32(46)) << "colours used";
    ASSERT_EQ(14u + 40 + 1024 + 500 * 412, bmp.size());

    // The palette file: one line per colour, "r g b -" and the colour's own
    // eight-level path, each line ended.
    std::string text = Load(dir + "\\WALLART\\PALALL9.TR");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ('\n', text.back());
    std::vector<uint32_t> palette;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        ASSERT_NE(std::string::npos, end);
        std::string line = text.substr(at, end - at);
        at = end + 1;
        EXPECT_LE(line.size(), 253u);
        int c[3], p[8], used = 0;
        ASSERT_EQ(11, sscanf(line.c_str(), "%d %d %d - %d %d %d %d %d %d %d %d%n", &c[0], &c[1], &c[2], &p[0], &p[1],
                             &p[2], &p[3], &p[4], &p[5], &p[6], &p[7], &used))
            << line;
        EXPECT_EQ(line.substr(used).find_first_not_of("\r"), std::string::npos) << line;
        for (int level = 0; level < 8; level++) {
            int bit = 7 - level;
            EXPECT_EQ(4 * ((c[2] >> bit) & 1) + 2 * ((c[1] >> bit) & 1) + ((c[0] >> bit) & 1), p[level]) << line;
        }
        palette.push_back((uint32_t)(c[0] << 16 | c[1] << 8 | c[2]));
    }
    EXPECT_LE(palette.size(), 236u) << "room for the colours a palette display keeps";
    EXPECT_EQ(palette.size(), std::set<uint32_t>(palette.begin(), palette.end()).size()) << "no colour twice";

    // The colour table starts with the palette's colours, in its order, and
    // the picture uses every one of them and no other entry.
    for (size_t i = 0; i < palette.size(); i++)
        EXPECT_EQ(palette[i], r.U32(54 + 4 * i) & 0xFFFFFF) << "entry " << i;
    std::vector<int> used(256, 0);
    for (size_t i = 14 + 40 + 1024; i < bmp.size(); i++)
        used[(uint8_t)bmp[i]] = 1;
    for (size_t i = 0; i < 256; i++)
        EXPECT_EQ(i < palette.size(), used[i] != 0) << "entry " << i;
}

#ifdef _WIN32
// The system itself loads every icon and cursor file and the About picture.
TEST_F(ContentTest, TheSystemLoadsEveryPicture)
{
    std::vector<std::string> icons = {"\\resources\\balls.ico"};
    for (const char *color : kContentColors)
        icons.push_back(std::string("\\resources\\") + color + ".ico");
    for (const std::string &icon : icons) {
        HANDLE h = LoadImageA(nullptr, (dir + icon).c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
        EXPECT_NE(nullptr, h) << icon;
        if (h)
            DestroyIcon((HICON)h);
    }
    for (const char *color : kContentColors) {
        std::string file = ThemePath(dir, color);
        for (const char *key : {"full", "empty"}) {
            std::string path =
                ThemeFilePath(dir, ReadProfile(file, "CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon", key));
            for (int size : {32, 48}) {
                HICON h = (HICON)LoadImageA(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE);
                EXPECT_NE(nullptr, h) << path;
                ICONINFO info = {};
                if (h && GetIconInfo(h, &info)) {
                    BITMAP bm = {};
                    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
                    EXPECT_EQ(size, bm.bmWidth) << path;
                    DeleteObject(info.hbmColor);
                    DeleteObject(info.hbmMask);
                }
                if (h)
                    DestroyIcon(h);
            }
        }
        for (const char *section : {"CLSID\\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\DefaultIcon",
                                    "CLSID\\{208D2C60-3AEA-1069-A2D7-08002B30309D}\\DefaultIcon"}) {
            std::string path = ThemeFilePath(dir, ReadProfile(file, section, "DefaultValue"));
            HANDLE h = LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
            EXPECT_NE(nullptr, h) << path;
            if (h)
                DestroyIcon((HICON)h);
        }
        for (const char *key : kCursorKeys) {
            std::string path = ThemeFilePath(dir, ReadProfile(file, "Control Panel\\Cursors", key));
            HANDLE h = LoadImageA(nullptr, path.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE | LR_DEFAULTSIZE);
            EXPECT_NE(nullptr, h) << path;
            if (h)
                DestroyCursor((HCURSOR)h);
        }
    }
    HBITMAP about = (HBITMAP)LoadImageA(nullptr, (dir + "\\resources\\about.bmp").c_str(), IMAGE_BITMAP, 0, 0,
                                        LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_NE(nullptr, about);
    DIBSECTION ds = {};
    ASSERT_EQ((int)sizeof ds, GetObjectA(about, sizeof ds, &ds));
    EXPECT_EQ(500, ds.dsBmih.biWidth);
    EXPECT_EQ(412, abs(ds.dsBmih.biHeight));
    EXPECT_EQ(8, ds.dsBmih.biBitCount);
    DeleteObject(about);
}
#endif
