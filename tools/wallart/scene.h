// What the parts of a wallpaper share: where the symbol sits, how large
// things are, and the colour's tones.
#pragma once

#include "tools/wallart/painter.h"

struct SceneGeometry {
    float width, height;
    float cx, cy;  // the symbol's centre, on the right third
    float r;       // the symbol's unit: it fits the circle of radius r
    float px;      // one pixel of the full-size picture (height / 1280)
};

enum LandKind { kRidges, kDunes, kSwells, kWaves, kHills };
enum AirKind { kStars, kEmbers, kMotes, kBubbles, kFireflies };

// The tones and kinds that make one colour's wallpaper.
struct SceneTones {
    Color skyTop, skyHorizon;   // the sky from the top edge down to the land
    Color mist;                 // drifting haze, strongest near the land
    float mistAmount;
    Color halo;                 // light about the symbol
    float haloStrength;         // negative: painted over a light sky rather than added
    Color discCentre, discEdge;  // the glass disc behind the symbol
    float discOpacity;
    Color rim;                  // the disc's rim and the arcs
    float arcOpacity;
    Color air, airHot;          // the two ends of the light in the air
    int airKind;
    Color landFar, landNear, landDeep;  // the far band (before haze), the near band, the bottom
    Color landEdge;             // the lit top edge of each band
    int landKind;
    Color corner;               // the soft edge's tone
    float cornerAmount;
};

const SceneTones &SceneTonesOf(int color);

// The glass disc behind the symbol, in symbol units.
constexpr float kDiscRadius = 1.30f;

// Paints the colour's symbol about (geometry.cx, geometry.cy), with its glow.
void PaintSymbol(Picture &picture, const SceneGeometry &geometry, int color);

// The light in the air: stars, sparks, motes, bubbles or fireflies, the same
// ones on every call with the same seed. front false paints those behind the
// land, true the few (sparks and fireflies only) that drift in front of it.
void PaintAir(Picture &picture, const SceneGeometry &geometry, const SceneTones &tones, uint32_t seed, bool front);

// The three bands of land or sea, far to near.
void PaintLand(Picture &picture, const SceneGeometry &geometry, const SceneTones &tones);
// A shine on the water below the symbol.
void PaintGlitter(Picture &picture, const SceneGeometry &geometry, const SceneTones &tones, uint32_t seed);
