// quennel-test-pictures: paints the pictures of bench/test_pictures.h as PPM
// files.
// usage: quennel-test-pictures OUT_FOLDER [NAME]
#include "bench/test_pictures.h"

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

bool WritePpm(const std::string &path, const std::vector<uint8_t> &bgr, int w, int h)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    fprintf(f, "P6\n%d %d\n255\n", w, h);
    std::vector<uint8_t> rgb(bgr.size());
    for (size_t i = 0; i < bgr.size(); i += 3) {
        rgb[i] = bgr[i + 2];
        rgb[i + 1] = bgr[i + 1];
        rgb[i + 2] = bgr[i];
    }
    bool ok = fwrite(rgb.data(), 1, rgb.size(), f) == rgb.size();
    return fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char **argv)
{
    bool help = argc == 2 && !strcmp(argv[1], "--help");
    if (help || argc < 2 || argc > 3) {
        FILE *to = help ? stdout : stderr;
        fprintf(to, "usage: quennel-test-pictures OUT_FOLDER [NAME]\n  names:");
        for (int i = 0; TestPictureName(i); i++)
            fprintf(to, " %s", TestPictureName(i));
        fprintf(to, "\n");
        return help ? 0 : 2;
    }
    bool any = false;
    for (int i = 0; TestPictureName(i); i++) {
        const char *name = TestPictureName(i);
        if (argc == 3 && strcmp(argv[2], name))
            continue;
        any = true;
        std::vector<uint8_t> bgr;
        int width = 0, height = 0;
        PaintTestPicture(name, &bgr, &width, &height);
        std::string path = std::string(argv[1]) + "/" + name + ".ppm";
        if (!WritePpm(path, bgr, width, height)) {
            fprintf(stderr, "quennel-test-pictures: cannot write %s\n", path.c_str());
            return 1;
        }
        printf("%s: %d x %d\n", path.c_str(), width, height);
    }
    if (!any) {
        fprintf(stderr, "quennel-test-pictures: no picture named %s\n", argv[2]);
        return 2;
    }
    return 0;
}
