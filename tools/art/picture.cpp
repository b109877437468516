#include "tools/art/picture.h"

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

bool ReadPicture(const char *path, std::vector<uint8_t> *bgr, int *width, int *height, std::string *error)
{
    int channels = 0;
    uint8_t *rgb = stbi_load(path, width, height, &channels, 3);
    if (!rgb) {
        *error = stbi_failure_reason() ? stbi_failure_reason() : "unreadable";
        return false;
    }
    size_t n = (size_t)*width * *height;
    bgr->resize(n * 3);
    for (size_t i = 0; i < n; i++) {
        (*bgr)[3 * i] = rgb[3 * i + 2];
        (*bgr)[3 * i + 1] = rgb[3 * i + 1];
        (*bgr)[3 * i + 2] = rgb[3 * i];
    }
    stbi_image_free(rgb);
    return true;
}

bool WritePng(const char *path, const uint8_t *bgr, int width, int height, int stride)
{
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            const uint8_t *p = bgr + (size_t)y * stride + x * 3;
            uint8_t *q = &rgb[((size_t)y * width + x) * 3];
            q[0] = p[2];
            q[1] = p[1];
            q[2] = p[0];
        }
    return stbi_write_png(path, width, height, 3, rgb.data(), width * 3) != 0;
}
