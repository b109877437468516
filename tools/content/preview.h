// Contact sheets of the generated pictures, written as PNG files for people
// to look at; nothing of the product reads them.
#pragma once

#include "tools/content/content.h"

#include <string>
#include <vector>

struct PreviewSheet {
    std::string name;     // file name without ".png"
    int zoom = 2;         // each picture pixel shown as zoom x zoom
    std::vector<std::string> labels;
    std::vector<Pixels> pictures;
    PreviewSheet *large = nullptr;  // where given, takes the pictures over 64 pixels
};

void AddPreview(PreviewSheet *sheet, const std::string &label, const Pixels &picture);
// How an image looks once stored at depth bits (masked, with its colour table).
Pixels StoredLook(const Pixels &picture, int depth);
// Writes the sheet to folder/name.png: every picture on a light and on a dark
// ground, in rows.
void WriteSheet(const std::string &folder, const PreviewSheet &sheet);
