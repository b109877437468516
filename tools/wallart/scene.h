// What the composition (scenes.cpp) and the symbols (symbols.cpp) share: where
// the symbol sits and how large things are.
#pragma once

#include "tools/wallart/painter.h"

struct Layout {
    float width, height;
    float cx, cy;  // the symbol's centre, on the right third
    float r;       // the symbol's unit: it fits the circle of radius r
    float px;      // one pixel of the full-size picture (height / 1280)
};

// The glass disc behind the symbol, in symbol units.
constexpr float kDiscRadius = 1.30f;

// Paints the colour's symbol about (layout.cx, layout.cy), with its glow.
void PaintSymbol(Picture &picture, const Layout &layout, int color);
