#pragma once
// The sample pictures and the painting helpers they share. Every picture is
// drawn from fixed seeds, so each run writes the same files.
//
// Sections: helpers - pictures
#include <QImage>

#include "data/draw_kit.h"

namespace makedata {

// ---- helpers -------------------------------------------------------------------
// Fills rows y0..y1-1 with a gradient through the colours, evenly spaced.
void FillGradient(QImage& image, int y0, int y1, const Rgb* colours, int count);
// Soft clouds over rows y0..y1-1: coverage 0..1 (more sky covered when
// higher), feature scale in pixels; lit tops, shaded bottoms.
void PaintClouds(QImage& image, int y0, int y1, float scale, float coverage, const Rgb& lit, const Rgb& shade,
                 uint32_t seed);
// Mirrors the rows above the waterline into rows waterline..bottom-1 with
// horizontal ripples, blended towards the water colour.
void PaintReflection(QImage& image, int waterline, int bottom, const Rgb& water, float waterAmount,
                     float ripple, uint32_t seed);
// A smooth ridge line: the fbm of x in about [-1, 1].
float Ridge(float x, int octaves, uint32_t seed);
// Blends a colour into a pixel.
void BlendPixel(QImage& image, int x, int y, const Rgb& c, float amount);

// ---- pictures ------------------------------------------------------------------
QImage PaintAlpineLake();     // 1600 x 1200
QImage PaintFlowerMeadow();   // 1200 x 1600
QImage PaintTulipFields();    // 1200 x 1600
QImage PaintBalloons();       // 1920 x 1080
QImage PaintHarbourSunset();  // 1920 x 1080
QImage PaintStainedGlass();   // 1400 x 1400
QImage PaintOldMap();         // 1600 x 1200
QImage PaintFractal();        // 1400 x 1400

}  // namespace makedata
