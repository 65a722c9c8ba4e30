// colours.cpp - the shared colour table and the colour map.
//
// Six bands (water, sand, grass, forest, rock, snow) of 24 shades each, lit
// by a sun behind the camera's left shoulder, high in the sky; then the sky
// gradient, the cloud shades and the cloud edges.
#include <cmath>

#include "tools/landscape/landscape.h"

namespace {

constexpr uint32_t seed_edges = 53, seed_woods = 59, seed_grain = 61;
constexpr landscape_rgb band_colours[band_count] = {
    {0, 0, 0},        // water: its own ramp below
    {198, 182, 130},  // sand
    {92, 146, 54},    // grass
    {38, 92, 40},     // forest
    {128, 116, 104},  // rock
    {238, 242, 250},  // snow
};

uint8_t blend(int a, int b, int num, int den) { return uint8_t(a + (b - a) * num / den); }

landscape_rgb shade(landscape_rgb base, int level) {
    // From 30% in full shadow to 115% in full sun, clamped.
    const int scale = 77 + 218 * level / (shade_levels - 1);
    auto channel = [scale](int c) { return uint8_t(c * scale / 256 > 255 ? 255 : c * scale / 256); };
    return {channel(base.red), channel(base.green), channel(base.blue)};
}

// Light on the ground at (x, y) as a shade level: the slope's normal
// against a fixed sun direction.
int sun_level(const std::vector<uint8_t> &h, int x, int y) {
    auto at = [&h](int px, int py) { return int(h[size_t(py & 511) * landscape_size + (px & 511)]); };
    const double gx = at(x + 1, y) - at(x - 1, y);
    const double gy = at(x, y + 1) - at(x, y - 1);
    const double nx = -gx, ny = -gy, nz = 3.0;
    const double sx = -0.48, sy = -0.52, sz = 0.70;
    double light = (nx * sx + ny * sy + nz * sz) / std::sqrt(nx * nx + ny * ny + nz * nz);
    light = light < 0 ? 0 : light;
    // Fine grain so that even slopes look like ground, not plastic.
    light += 0.10 * (periodic_noise(x, y, 2, seed_grain) - 0.5);
    const int level = int(light * (shade_levels - 1) + 0.5);
    return level < 0 ? 0 : level >= shade_levels ? shade_levels - 1 : level;
}

int steepness(const std::vector<uint8_t> &h, int x, int y) {
    auto at = [&h](int px, int py) { return int(h[size_t(py & 511) * landscape_size + (px & 511)]); };
    const int gx = at(x + 1, y) - at(x - 1, y), gy = at(x, y + 1) - at(x, y - 1);
    return (gx < 0 ? -gx : gx) + (gy < 0 ? -gy : gy);
}

// The band of the ground at (x, y): height with ragged edges, woods in
// patches, bare rock on steep faces.
int band_at(const std::vector<uint8_t> &h, int x, int y) {
    const int v = h[size_t(y) * landscape_size + x];
    if (ground_height(x, y) < landscape_water_level)
        return band_water;
    const double edge = 24.0 * (periodic_fbm(x, y, 16, 3, seed_edges) - 0.5);
    const int steep = steepness(h, x, y);
    if (v < landscape_water_level + 2 + edge / 8)
        return band_sand;
    if (v > 208 + edge && steep < 14)
        return band_snow;
    if (v > 168 + edge || steep > 18)
        return band_rock;
    const double woods = periodic_fbm(x, y, 32, 4, seed_woods);
    if (v > 120 + edge || woods > 0.58 - (v - landscape_water_level) * 0.0012)
        return band_forest;
    return band_grass;
}

// Water: darker with depth, with a faint ripple.
int water_level_shade(int x, int y) {
    const double depth = landscape_water_level - ground_height(x, y);
    const double ripple = 3.0 * (periodic_noise(x, y, 4, seed_grain + 1) - 0.5);
    const int level = int(shade_levels - 1 - depth * 2.5 + ripple);
    return level < 0 ? 0 : level >= shade_levels ? shade_levels - 1 : level;
}

landscape_rgb sky_colour(int s) {
    return {blend(38, 196, s, sky_levels - 1), blend(78, 214, s, sky_levels - 1), blend(158, 232, s, sky_levels - 1)};
}

landscape_rgb cloud_colour(int c) {
    return {blend(140, 252, c, cloud_levels - 1), blend(148, 252, c, cloud_levels - 1),
            blend(170, 255, c, cloud_levels - 1)};
}

}  // namespace

std::array<landscape_rgb, 256> landscape_palette() {
    std::array<landscape_rgb, 256> p{};
    // Ground bands; water runs from deep blue to a light green-blue.
    for (int l = 0; l < shade_levels; ++l) {
        const int top = shade_levels - 1;
        p[band_index(band_water, l)] = {blend(14, 72, l, top), blend(40, 132, l, top), blend(80, 168, l, top)};
        for (int b = band_sand; b < band_count; ++b)
            p[band_index(b, l)] = shade(band_colours[b], l);
    }
    // Sky: deep blue at the top to pale haze at the horizon.
    for (int s = 0; s < sky_levels; ++s)
        p[sky_first_index + s] = sky_colour(s);
    // Clouds: blue-grey undersides to white tops.
    for (int c = 0; c < cloud_levels; ++c)
        p[cloud_first_index + c] = cloud_colour(c);
    // Cloud edges: the middle of each stretch of the sky, mixed with a bright cloud.
    const landscape_rgb edge_cloud = cloud_colour(cloud_levels - 2);
    for (int g = 0; g < edge_sky_groups; ++g) {
        const landscape_rgb sky = sky_colour((2 * g + 1) * sky_levels / (2 * edge_sky_groups));
        for (int m = 1; m <= edge_mix_levels; ++m)
            p[edge_index(g, m)] = {blend(sky.red, edge_cloud.red, m, edge_mix_levels + 1),
                                   blend(sky.green, edge_cloud.green, m, edge_mix_levels + 1),
                                   blend(sky.blue, edge_cloud.blue, m, edge_mix_levels + 1)};
    }
    return p;
}

std::vector<uint8_t> make_colour_indices(const std::vector<uint8_t> &heights) {
    std::vector<uint8_t> colours(heights.size());
    for (int y = 0; y < landscape_size; ++y)
        for (int x = 0; x < landscape_size; ++x) {
            const int band = band_at(heights, x, y);
            const int level = band == band_water ? water_level_shade(x, y) : sun_level(heights, x, y);
            colours[size_t(y) * landscape_size + x] = uint8_t(band_index(band, level));
        }
    return colours;
}
