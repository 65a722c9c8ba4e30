// icon_shape.h - what the two desktop icons share: RGBA pictures with the
// outline of a square with rounded corners (transparent outside it), drawn
// with several samples per pixel, and the landscape's colours. Their PNG
// files are written by voxel-render's writer (write_png).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct icon_rgb {
    double r, g, b;
};

// Colours of the landscape picture, shared by both icons.
namespace icon_colours {
constexpr icon_rgb sky_top = {52, 96, 186}, sky_haze = {196, 216, 240};
constexpr icon_rgb snow = {246, 248, 252}, meadow = {70, 160, 48}, forest = {24, 70, 22};
constexpr icon_rgb river = {30, 78, 156}, sand = {214, 190, 134};
}  // namespace icon_colours

constexpr int icon_sizes[] = {256, 128, 48};

// The part of the pixel square [x, x+1) x [y, y+1) inside the icon's outline
// of `size` pixels, from 0 to 1.
double icon_coverage(int size, int x, int y);

// An RGBA picture of `size` x `size` pixels, rows top first, from an RGB
// one: alpha is the outline's coverage, so the corners are transparent.
std::vector<uint8_t> icon_with_outline(const std::vector<uint8_t> &rgb, int size);

