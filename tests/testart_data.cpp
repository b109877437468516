#include "tests/testart_data.h"

std::vector<uint8_t> TestPicture(int width, int height)
{
    std::vector<uint8_t> bgr((size_t)width * height * 3);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            uint8_t *p = &bgr[((size_t)y * width + x) * 3];
            bool disc = (x - width / 2) * (x - width / 2) + (y - height / 2) * (y - height / 2) < height * height / 9;
            p[0] = (uint8_t)(disc ? 40 : 255 * y / height);
            p[1] = (uint8_t)(disc ? 200 : 128);
            p[2] = (uint8_t)(disc ? 230 : 255 * x / width);
        }
    return bgr;
}

std::string TestPaletteText()
{
    std::string text;
    for (int i = 0; i < 64; i++) {
        int red = (i >> 4) * 85, green = (i >> 2 & 3) * 85, blue = (i & 3) * 85;
        text += std::to_string(red) + " " + std::to_string(green) + " " + std::to_string(blue) + " -";
        for (int bit = 7; bit >= 0; bit--)
            text += " " + std::to_string(4 * (blue >> bit & 1) + 2 * (green >> bit & 1) + (red >> bit & 1));
        text += "\r\n";
    }
    return text;
}
