// The two fonts of the pictures, both drawn here: a small proportional bitmap
// font (cap height 7, descenders 2) and a geometric stroke font of capitals for
// titles.
#pragma once

#include "tools/content/canvas.h"

#include <functional>

typedef std::function<Rgba(float x, float y)> TextPaint;

// Width in pixels of text in the bitmap font at size pixels per dot.
int BitmapTextWidth(const char *text, int size);
// Draws text with its top-left corner at (x, y); each dot is a size x size
// square (corners rounded by round, 0..0.5 of a dot). Characters the font
// lacks are left out.
void DrawBitmapText(Canvas &c, const char *text, float x, float y, int size, const TextPaint &paint,
                    float round = 0);

// Width of a title in the stroke font at cap height h.
float TitleWidth(const char *text, float h);
// Distance to a title's strokes (a stroke of half width stroke * h), the text's
// top-left at (x, y), cap height h.
float TitleDistance(const char *text, float x, float y, float h, float stroke, float px, float py);
