// quennel-fuzz-seeds: writes the seed corpora of the fuzz targets.
//   quennel-fuzz-seeds OUT ART_DIR
// OUT/<target>/ gets files for art, palette, theme, metrics, ini and schedule: art made
// by the encoder at small sizes with every option, the kept wallpapers
// (ART_DIR/<COLOUR>.ART) decoded, cut down and encoded again as they were
// made (4 pieces, quality 80), their palettes; theme files as the backup
// writes them and with every part; metric values; profile files; schedules.
#include "tests/fuzz/fuzz_support.h"
#include "tests/testart_data.h"

#include "base/processvalues.h"
#include "backup/backup.h"
#include "decoder/art.h"
#include "install/installtheme.h"
#include "theme/metrictext.h"
#include "theme/themekeys.h"
#include "platform/host/host.h"
#include "tools/art/artencode.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

static std::string Out;
static int Written;

static void Save(const std::string &target, const std::string &name, const std::string &bytes)
{
    std::filesystem::create_directories(Out + "/" + target);
    std::ofstream f(Out + "/" + target + "/" + name, std::ios::binary);
    f << bytes;
    if (!f) {
        fprintf(stderr, "quennel-fuzz-seeds: cannot write %s/%s/%s\n", Out.c_str(), target.c_str(), name.c_str());
        exit(1);
    }
    Written++;
}

static std::string Load(const std::string &path)
{
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

static void SaveArt(const std::string &name, const std::vector<uint8_t> &bgr, int width, int height, int pieces,
                    bool subsample, int quality)
{
    ArtEncodeOptions options;
    options.pieces = pieces;
    options.subsample = subsample;
    options.quality = quality;
    std::vector<uint8_t> art;
    std::string error;
    if (!EncodeArt(bgr.data(), width, height, options, &art, &error)) {
        fprintf(stderr, "quennel-fuzz-seeds: %s: %s\n", name.c_str(), error.c_str());
        exit(1);
    }
    // Header bytes 4-7 carry the art target's own choices (see fuzz_art.cpp):
    // spread the depths and sizes over the seeds.
    art[4] = (uint8_t)Written;
    art[5] = (uint8_t)(Written * 11);
    art[6] = (uint8_t)(Written * 7);
    art[7] = (uint8_t)(Written & 1);
    Save("art", name, std::string(art.begin(), art.end()));
}

static void RenderKept(void *context)
{
    auto *job = (std::pair<std::string, std::vector<uint8_t> *> *)context;
    std::string bytes = Load(job->first);
    ArtFile *art = OpenArtBytes(job->first.c_str(), (const uint8_t *)bytes.data(), bytes.size());
    const int width = 256, height = 160;
    uint8_t *picture = RenderArt(art, width, height, 24, DiffusionKernel);  // scaled only
    size_t row = ((size_t)width * 3 + 3) & ~(size_t)3;
    job->second->resize((size_t)width * height * 3);
    for (int y = 0; y < height; y++)
        memcpy(&(*job->second)[(size_t)y * width * 3], picture + y * row, (size_t)width * 3);
    free(picture);
    CloseArt(art);
}

static void MakeArtSeeds(const std::string &artDir)
{
    SaveArt("gradient-16x16.ART", TestPicture(16, 16), 16, 16, 1, false, 75);
    SaveArt("gradient-32x24-sub.ART", TestPicture(32, 24), 32, 24, 1, true, 50);
    SaveArt("gradient-64x48-4.ART", TestPicture(64, 48), 64, 48, 4, false, 90);
    SaveArt("gradient-64x64-4-sub.ART", TestPicture(64, 64), 64, 64, 4, true, 20);
    SaveArt("gradient-256x192.ART", TestPicture(256, 192), 256, 192, 1, false, 75);
    std::vector<uint8_t> noise(24 * 12 * 3);
    for (size_t i = 0; i < noise.size(); i++)
        noise[i] = (uint8_t)((i * 2654435761u) >> 13);
    SaveArt("noise-24x12.ART", noise, 24, 12, 1, false, 100);

    for (const char *color : {"BLACK", "RED", "WHITE", "BLUE", "GREEN"}) {
        std::vector<uint8_t> picture;
        std::pair<std::string, std::vector<uint8_t> *> job(artDir + "/" + color + ".ART", &picture);
        if (!std::filesystem::exists(job.first) || RunUntilReport(RenderKept, &job, false)) {
            fprintf(stderr, "quennel-fuzz-seeds: cannot decode %s\n", job.first.c_str());
            exit(1);
        }
        SaveArt(std::string(color) + "-256x160-4.ART", picture, 256, 160, 4, false, 80);
        std::string palette = Load(artDir + "/" + color + ".tr");
        Save("palette", std::string(color) + ".tr", palette);
    }
}

static void MakePaletteSeeds()
{
    Save("palette", "sixty-four.tr", TestPaletteText());
    Save("palette", "empty.tr", "");
    Save("palette", "root-leaf.tr", "10 20 30 -\n");
    Save("palette", "same-path.tr", "255 0 0 - 1 1 1\n0 255 0 - 1 1 1\n0 0 255 - 4\n");
    Save("palette", "prefix.tr", "255 255 255 - 7\n250 250 250 - 7 7 7 7\n0 0 0 - 0 0\n");
    Save("palette", "no-last-end.tr", "1 2 3 - 0\n4 5 6 - 1");
    Save("palette", "odd-lines.tr", "300 -5 x - 9 3 a 2\nno dash here\n12 34 56 extra - 1 2 3 4 5 6 7 0 1\n");
}

static void MakeThemeSeeds()
{
    // A fresh machine's settings, as the backup writes them.
    WriteBackupTheme();
    std::string backup = Load(HostPath((UserDataDir + std::string("\\ZorvaBackup.theme")).c_str()));
    Save("theme", "backup.theme", backup);
    Save("ini", "backup.theme", backup);
    // The revert's backups: whole, cut, and a section short.
    Save("revert", "backup.theme", backup);
    Save("revert", "cut-in-half.theme", backup.substr(0, backup.size() / 4 * 2));
    Save("revert", "only-the-mark.theme", "\xFF\xFE");
    size_t sounds = backup.find(std::string("[\0A\0p\0p\0", 8));
    if (sounds != std::string::npos)
        Save("revert", "without-sounds.theme", backup.substr(0, sounds));

    // Every part, with paths through both variables.
    std::string t = "[Control Panel\\Colors]\n";
    for (int i = 0; i < kColorCount; i++)
        t += std::string(kColorKeys[i]) + "=" + std::to_string(i * 10) + " " + std::to_string(255 - i) + " 7\n";
    IconMetricsRecord icon = {};
    icon.cbSize = sizeof icon;
    SystemParameters(kSpiGetIconMetrics, sizeof icon, &icon, 0);
    NonclientMetricsRecord nonclient = {};
    nonclient.cbSize = sizeof nonclient;
    SystemParameters(kSpiGetNonclientMetrics, sizeof nonclient, &nonclient, 0);
    static char iconText[2048], nonclientText[2048];
    FormatIconMetrics(&icon, iconText);
    FormatNonclientMetrics(&nonclient, nonclientText);
    t += std::string("\n[Metrics]\nIconMetrics=") + iconText + "\nNonclientMetrics=" + nonclientText + "\n";
    t += "\n[Control Panel\\Desktop]\nScreenSaveActive=1\nTileWallpaper=0\nWallpaperStyle=2\nPattern=(None)\n";
    t += "Wallpaper=%WinDir%wallpaper.bmp\n";
    t += "\n[boot]\nSCRNSAVE.EXE=%ThemeDir%saver.scr\n";
    t += std::string("\n[") + kMyComputerIcon + "]\nDefaultValue=%ThemeDir%computer.ico,0\n";
    t += std::string("\n[") + kNetworkIcon + "]\nDefaultValue=%WinDir%network.ico,0\n";
    t += std::string("\n[") + kRecycleBinIcon + "]\nfull=%ThemeDir%full.ico,0\nempty=\"%ThemeDir%empty.ico,0\"\n";
    t += "\n[MasterThemeSelector]\nThemeColorBPP=8\n\n[Control Panel\\Cursors]\n";
    for (int i = 0; i < 14; i++)
        t += std::string(kCursorKeys[i]) + "=%ThemeDir%Cursors\\" + kCursorKeys[i] + ".cur\n";
    t += "DefaultValue=Fuzz cursors\nScheme Source=2\nScheme Source.Type=REG_DWORD\n";
    t += "\n[VisualStyles]\nSystemMode=Dark\nAppMode=Light\nColorizationColor=0XC4102030\n";
    Save("theme", "look.theme", t);  // the look of a [VisualStyles] section; below, a captured one
    t += "\n[Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize]\nAppsUseLightTheme=1\n"
         "AppsUseLightTheme.Type=REG_DWORD\nSystemUsesLightTheme=\nSystemUsesLightTheme.Type=none\n";
    t += "\n[Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent]\n"
         "AccentPalette=ff 80 00 00 ff 80 00 00\nAccentPalette.Type=REG_BINARY\nStartColorMenu=4278190335\n"
         "StartColorMenu.Type=REG_DWORD\n";
    for (int i = 0; i < 21; i++) {
        char key[200];
        SoundEventKey(i, key, sizeof key);
        t += std::string("\n[") + key + "]\nDefaultValue=" + (i % 2 ? "%WinDir%media\\" : "%ThemeDir%") + "s" +
             std::to_string(i) + ".wav\n";
    }
    Save("theme", "every-part.theme", t);
    Save("ini", "every-part.theme", t);
    Save("metrics", "icon.txt", iconText);
    Save("metrics", "nonclient.txt", nonclientText);
    Save("metrics", "short.txt", "76 0 0 0 75 0 0");
    Save("metrics", "spaces-and-tabs.txt", "76   0 0\t0  245 255 255 255 -1 +3 999 0");

    Save("schedule", "times.txt", "day=white\nnight=black\ntimes=07:00 20:30\nparts=wallpaper,colors\napplied=0\n");
    Save("schedule", "sun.txt",
         "day=blue\nnight=red\nsun=-33.918861 18.423300\nparts=screensaver,sounds,cursors,wallpaper,icons,colors,"
         "fonts\napplied=1796842800\n");
    Save("ini", "control.ini", "[Zorva]\r\nswitcher=C:\\themes\r\n\r\n[other]\r\n  key = 'quoted' \r\n=no key\r\nbare\r\n");
    Save("ini", "odd.ini", "top=before any section\n[unclosed\nk=v\n[ spaced ]\n K =\"v\"\n[]\n=\n");
}

int main(int argc, char **argv)
{
    if (argc != 3 || !strcmp(argv[1], "--help")) {
        fprintf(stderr, "usage: quennel-fuzz-seeds OUT ART_DIR\n");
        return argc == 2 && !strcmp(argv[1], "--help") ? 0 : 2;
    }
    Out = argv[1];
    FuzzMachineSetUp();
    MakeArtSeeds(argv[2]);
    MakePaletteSeeds();
    MakeThemeSeeds();
    printf("quennel-fuzz-seeds: %d files in %s\n", Written, Out.c_str());
    return 0;
}
