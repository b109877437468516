// The five colours' symbols and the tones they share across the pictures.
#pragma once

#include "tools/content/canvas.h"

// The colour words in the order of the theme identifiers 100-104.
enum ThemeColor { kBlack, kRed, kWhite, kBlue, kGreen, kThemeCount };
extern const char *const kColorWords[kThemeCount];

// The tones of one colour, from the lightest to the darkest, and the tone its
// symbol is drawn in on a coin.
struct ColorTones {
    Rgba light, main, dark, deep;
    Rgba symbol;
    Rgba flatFace, flatSymbol;  // for 16 colours: two of the standard colours
};
const ColorTones &TonesOf(int color);

// Signed distance to the colour's symbol (sun, drop, moon, flame, tree) in
// unit coordinates: the symbol fits the circle of radius 1 about the origin.
float SymbolDistance(int color, float u, float v);

// The colour's coin: a disc of radius r about (cx, cy) in the colour, a
// bevelled metal ring, and the symbol engraved in its middle. flat draws it
// in plain standard colours, for a 16-colour image.
void DrawEmblem(Canvas &c, int color, float cx, float cy, float r, bool flat = false);
