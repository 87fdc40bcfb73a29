// Drawing of the specimen kinds into a packed RGB picture. Internal to virtualscope.
#pragma once

#include "virtualscope/specimen.h"

#include <cstdint>
#include <random>
#include <vector>

namespace virtualscope {
namespace draw {

// A packed RGB picture with the few drawing operations the specimens need.
struct Canvas
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    Canvas(int w, int h) : width(w), height(h), rgb(static_cast<size_t>(w) * h * 3, 0) {}
    uint8_t *pixel(int x, int y) { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

struct Colour
{
    float r, g, b;
};

// Fills with a colour modulated by smooth low-frequency variation of the given depth.
void fillBackground(Canvas &canvas, Colour colour, float variation, std::mt19937 &rng);
// Soft-edged ellipse: multiplies by the transmission colour (absorbing dye) or adds light.
enum class Blend { Absorb, Add, Paint };
void ellipse(Canvas &canvas, float cx, float cy, float rx, float ry, float angle, Colour colour, float strength,
             float edge, Blend blend);
// Axis-aligned rectangle with exact coverage at fractional edges, painted opaque.
void rect(Canvas &canvas, float x0, float y0, float x1, float y1, Colour colour);
// Adds a Gaussian spot (fluorescent point or a stamp of a filament).
void spot(Canvas &canvas, float cx, float cy, float sigma, float intensity);
// Adds per-pixel grain of the given amplitude.
void grain(Canvas &canvas, float amplitude, std::mt19937 &rng);

void drawCells(Canvas &canvas, const SpecimenConfig &config, std::mt19937 &rng);
void drawMicrometer(Canvas &canvas, const SpecimenConfig &config, std::mt19937 &rng);
void drawLabel(Canvas &canvas, const SpecimenConfig &config, std::mt19937 &rng);
void drawFluorescence(Canvas &canvas, const SpecimenConfig &config, std::mt19937 &rng);

} // namespace draw
} // namespace virtualscope
