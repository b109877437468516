// Writers of the binary formats: icon and cursor files, animated cursors,
// 8-bit bitmaps and PCM waves, each built in memory and saved whole.
//
// An icon or cursor file is an IconDirRecord, one IconEntryRecord per image,
// then the images. Each image is a BITMAPINFOHEADER whose height counts both
// masks (twice the picture's), the colour table (none at 32 bits), the colour
// bits and the 1-bit AND mask, both bottom-up with rows padded to 4 bytes. A
// set AND bit leaves the screen showing through; there the colour bits are 0.
// The mask is made from the picture's alpha at every depth: a pixel below half
// opacity shows through. A compressed image is a whole PNG file instead, with
// its alpha and no mask; the system knows it by the PNG signature.
#include "tools/content/content.h"
#include "tools/content/formats.h"
#include "tools/content/preview.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <utility>

#include <stb_image_write.h>

std::string OutputRoot;

template <class T> static void Put(Bytes &out, const T &record)
{
    const uint8_t *p = (const uint8_t *)&record;
    out.insert(out.end(), p, p + sizeof record);
}

static void PutTag(Bytes &out, const char *tag) { out.insert(out.end(), tag, tag + 4); }

static void PutU32(Bytes &out, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out.push_back((uint8_t)(v >> (8 * i)));
}

static void PatchU32(Bytes &out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out[at + i] = (uint8_t)(v >> (8 * i));
}

static int RowBytes(int width, int bits) { return (width * bits + 31) / 32 * 4; }

// The alpha below which a pixel is transparent in the AND mask (every depth)
// and in the colours of an 8- or 4-bit image.
constexpr int kMaskThreshold = 128;

// Colour table and indices of a masked image; transparent pixels take index 0,
// which is black in both tables.
static void IndexImage(const Pixels &p, int depth, std::vector<Rgb8> *table, std::vector<uint8_t> *indices)
{
    size_t n = (size_t)p.width * p.height;
    std::vector<Rgb8> colors(n);
    std::vector<uint8_t> skip(n);
    std::vector<Rgb8> opaque;
    for (size_t i = 0; i < n; i++) {
        const uint8_t *q = &p.rgba[i * 4];
        colors[i] = {q[0], q[1], q[2]};
        skip[i] = q[3] < kMaskThreshold;
        if (!skip[i])
            opaque.push_back(colors[i]);
    }
    if (depth == 4) {
        *table = StandardColors16();
        *indices = MapToPalette(colors, p.width, p.height, *table, 0.0f, &skip);
        return;
    }
    *table = MakePalette(opaque, 255);
    std::vector<uint8_t> mapped = MapToPalette(colors, p.width, p.height, *table, 0.0f, &skip);
    table->insert(table->begin(), Rgb8{0, 0, 0});
    table->resize(256, Rgb8{0, 0, 0});
    indices->resize(n);
    for (size_t i = 0; i < n; i++)
        (*indices)[i] = skip[i] ? 0 : (uint8_t)(mapped[i] + 1);
}

Pixels StoredLook(const Pixels &picture, int depth)
{
    if (depth == 32)
        return picture;
    std::vector<Rgb8> table;
    std::vector<uint8_t> indices;
    IndexImage(picture, depth, &table, &indices);
    Pixels out = picture;
    for (size_t i = 0; i < indices.size(); i++) {
        Rgb8 c = table[indices[i]];
        bool clear = picture.rgba[i * 4 + 3] < kMaskThreshold;
        uint8_t px[4] = {c.r, c.g, c.b, (uint8_t)(clear ? 0 : 255)};
        memcpy(&out.rgba[i * 4], px, 4);
    }
    return out;
}

static Bytes IconImageBytes(const Pixels &p, int depth)
{
    int w = p.width, h = p.height;
    BitmapInfoHeader bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = w;
    bih.biHeight = 2 * h;
    bih.biPlanes = 1;
    bih.biBitCount = (uint16_t)depth;
    int colorRow = RowBytes(w, depth), maskRow = RowBytes(w, 1);
    bih.biSizeImage = (uint32_t)((colorRow + maskRow) * h);

    Bytes out;
    Put(out, bih);
    std::vector<Rgb8> table;
    std::vector<uint8_t> indices;
    if (depth != 32) {
        IndexImage(p, depth, &table, &indices);
        for (Rgb8 c : table)
            Put(out, RgbQuad{c.b, c.g, c.r, 0});
    }
    for (int y = h - 1; y >= 0; y--) {
        Bytes row(colorRow, 0);
        for (int x = 0; x < w; x++) {
            const uint8_t *q = &p.rgba[((size_t)y * w + x) * 4];
            size_t i = (size_t)y * w + x;
            if (depth == 32) {
                if (q[3] >= kMaskThreshold) {
                    row[x * 4] = q[2];
                    row[x * 4 + 1] = q[1];
                    row[x * 4 + 2] = q[0];
                }
                row[x * 4 + 3] = q[3];
            } else if (depth == 8) {
                row[x] = indices[i];
            } else {
                row[x / 2] |= (uint8_t)(indices[i] << (x % 2 ? 0 : 4));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    // A system that draws a 32-bit image without its alpha (screens of 16
    // bits and fewer, old systems) ANDs the mask onto the screen and XORs the
    // colour bits over it. With the soft shadow (alpha 1-127) marked opaque it
    // would draw a black halo, so the mask takes half opacity as its
    // threshold at every depth, and where it shows through the colour bits
    // are 0 (above), or the soft edges of light shapes would XOR the screen
    // into noise. The alpha stays whole: a system with alpha still draws the
    // shadow; only the outer half of a light edge blends from black there.
    for (int y = h - 1; y >= 0; y--) {
        Bytes row(maskRow, 0);
        for (int x = 0; x < w; x++)
            if (p.rgba[((size_t)y * w + x) * 4 + 3] < kMaskThreshold)
                row[x / 8] |= (uint8_t)(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// A PNG picture of straight red, green, blue and alpha, 8 bits each; a pixel
// that shows nothing is stored as transparent black, which packs better.
static Bytes PngBytes(const Pixels &p)
{
    std::vector<uint8_t> rgba = p.rgba;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i + 3] == 0)
            rgba[i] = rgba[i + 1] = rgba[i + 2] = 0;
    Bytes out;
    auto append = [](void *context, void *data, int size) {
        Bytes *to = (Bytes *)context;
        to->insert(to->end(), (const uint8_t *)data, (const uint8_t *)data + size);
    };
    if (!stbi_write_png_to_func(append, &out, p.width, p.height, 4, rgba.data(), p.width * 4)) {
        fprintf(stderr, "quennel-content: cannot compress a %dx%d picture\n", p.width, p.height);
        exit(1);
    }
    return out;
}

Bytes IconFileBytes(const std::vector<IconImage> &images, bool cursor)
{
    Bytes out;
    Put(out, IconDirRecord{0, cursor ? kIconTypeCursor : kIconTypeIcon, (uint16_t)images.size()});
    std::vector<Bytes> bodies;
    for (const IconImage &image : images)
        bodies.push_back(image.compressed ? PngBytes(image.pixels) : IconImageBytes(image.pixels, image.depth));
    uint32_t offset = (uint32_t)(sizeof(IconDirRecord) + images.size() * sizeof(IconEntryRecord));
    for (size_t i = 0; i < images.size(); i++) {
        const IconImage &image = images[i];
        IconEntryRecord e = {};
        e.bWidth = (uint8_t)image.pixels.width;
        e.bHeight = (uint8_t)image.pixels.height;
        e.bColorCount = image.depth == 4 ? 16 : 0;
        e.wPlanes = cursor ? (uint16_t)image.hotX : 1;
        e.wBitCount = cursor ? (uint16_t)image.hotY : (uint16_t)image.depth;
        e.dwBytesInRes = (uint32_t)bodies[i].size();
        e.dwImageOffset = offset;
        offset += e.dwBytesInRes;
        Put(out, e);
    }
    for (const Bytes &body : bodies)
        out.insert(out.end(), body.begin(), body.end());
    return out;
}

// A RIFF chunk: tag, size, data, and a pad byte when the size is odd.
static void PutChunk(Bytes &out, const char *tag, const Bytes &data)
{
    PutTag(out, tag);
    PutU32(out, (uint32_t)data.size());
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2)
        out.push_back(0);
}

// A RIFF file: "RIFF", the size of what follows, the form's tag and its
// chunks in order.
static Bytes RiffFile(const char *form, std::initializer_list<std::pair<const char *, const Bytes *>> chunks)
{
    Bytes out;
    PutTag(out, "RIFF");
    PutU32(out, 0);
    PutTag(out, form);
    for (const auto &chunk : chunks)
        PutChunk(out, chunk.first, *chunk.second);
    PatchU32(out, 4, (uint32_t)(out.size() - 8));
    return out;
}

// An animated cursor: RIFF "ACON" holding a LIST "INFO" with the title, the
// "anih" header and a LIST "fram" with one "icon" chunk per frame.
Bytes AniFileBytes(const std::vector<Bytes> &frames, uint32_t jiffies, const char *title)
{
    Bytes info;
    PutTag(info, "INFO");
    Bytes name(title, title + strlen(title) + 1);
    PutChunk(info, "INAM", name);
    static const char kArtist[] = "Desktop Quennel team";
    PutChunk(info, "IART", Bytes(kArtist, kArtist + sizeof kArtist));

    AniHeaderRecord head = {};
    head.cbSize = sizeof head;
    head.nFrames = head.nSteps = (uint32_t)frames.size();
    head.iDispRate = jiffies;
    head.bfAttributes = kAniFramesAreIcons;
    Bytes headBytes;
    Put(headBytes, head);

    Bytes list;
    PutTag(list, "fram");
    for (const Bytes &frame : frames)
        PutChunk(list, "icon", frame);

    return RiffFile("ACON", {{"LIST", &info}, {"anih", &headBytes}, {"LIST", &list}});
}

Bytes Bitmap8FileBytes(int width, int height, const std::vector<uint8_t> &indices,
                       const std::vector<Rgb8> &colors)
{
    int stride = RowBytes(width, 8);
    uint32_t tableBytes = 256 * sizeof(RgbQuad);
    uint32_t offBits = (uint32_t)(sizeof(BitmapFileHeader) + sizeof(BitmapInfoHeader) + tableBytes);
    BitmapFileHeader bfh = {};
    bfh.bfType = 0x4D42;  // "BM"
    bfh.bfOffBits = offBits;
    bfh.bfSize = offBits + (uint32_t)(stride * height);
    BitmapInfoHeader bih = {};
    bih.biSize = sizeof bih;
    bih.biWidth = width;
    bih.biHeight = height;  // positive: bottom-up
    bih.biPlanes = 1;
    bih.biBitCount = 8;
    bih.biCompression = 0;
    bih.biSizeImage = (uint32_t)(stride * height);
    bih.biXPelsPerMeter = bih.biYPelsPerMeter = 3780;  // 96 dots per inch
    bih.biClrUsed = 256;
    bih.biClrImportant = (uint32_t)colors.size();

    Bytes out;
    Put(out, bfh);
    Put(out, bih);
    for (int i = 0; i < 256; i++) {
        Rgb8 c = i < (int)colors.size() ? colors[i] : Rgb8{0, 0, 0};
        Put(out, RgbQuad{c.b, c.g, c.r, 0});
    }
    for (int y = height - 1; y >= 0; y--) {
        Bytes row(stride, 0);
        memcpy(row.data(), &indices[(size_t)y * width], width);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

Bytes WaveFileBytes(const std::vector<int16_t> &samples, int rate)
{
    WaveFormatRecord fmt = {};
    fmt.wFormatTag = 1;
    fmt.nChannels = 1;
    fmt.nSamplesPerSec = (uint32_t)rate;
    fmt.wBitsPerSample = 16;
    fmt.nBlockAlign = 2;
    fmt.nAvgBytesPerSec = (uint32_t)rate * 2;
    Bytes fmtBytes;
    Put(fmtBytes, fmt);
    Bytes data;
    for (int16_t s : samples) {
        data.push_back((uint8_t)(s & 0xFF));
        data.push_back((uint8_t)((uint16_t)s >> 8));
    }
    return RiffFile("WAVE", {{"fmt ", &fmtBytes}, {"data", &data}});
}

static std::filesystem::path HostName(const std::string &relative)
{
    std::string r = relative;
    std::replace(r.begin(), r.end(), '\\', '/');
    return std::filesystem::path(OutputRoot) / r;
}

void SaveFile(const std::string &relative, const Bytes &bytes)
{
    std::filesystem::path path = HostName(relative);
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    FILE *f = fopen(path.string().c_str(), "wb");
    if (!f || fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || fclose(f) != 0) {
        fprintf(stderr, "quennel-content: cannot write %s\n", path.string().c_str());
        exit(1);
    }
}

void SaveText(const std::string &relative, const std::string &text)
{
    SaveFile(relative, Bytes(text.begin(), text.end()));
}

std::string WindowsLines(const std::string &text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}
