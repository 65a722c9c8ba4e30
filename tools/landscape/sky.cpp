// sky.cpp - the sky image: a blue gradient that pales into haze
// toward the horizon and stays hazy to the bottom, with a layer of clouds
// that shrink and thin with distance. Gradients and cloud edges are dithered
// with a 4 x 4 ordered pattern between neighbouring entries only (20 sky
// shades, 16 cloud shades, 7 steps from sky to cloud at the edges), so that
// no pixel differs much from the one beside it.
#include "tools/landscape/landscape.h"

namespace {

constexpr uint32_t seed_clouds = 71;
constexpr int horizon_row = 240;  // where the cloud layer meets the haze

constexpr int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

double dither(int x, int y) { return (bayer[y & 3][x & 3] + 0.5) / 16.0; }

int clamp_level(int v, int levels) { return v < 0 ? 0 : v >= levels ? levels - 1 : v; }

double ramp(double edge0, double edge1, double v) {
    const double t = (v - edge0) / (edge1 - edge0);
    return t < 0 ? 0 : t > 1 ? 1 : t;
}

// Cloud density at pixel (x, row): the cloud layer seen in perspective, so
// the rows near the horizon look at distant, small clouds.
double cloud_density(int x, int row) {
    const double depth = 9000.0 / (horizon_row - row);
    const int cx = int((x - 256) * depth / 40.0) + 4096;
    const int cy = int(depth * 4.0);
    return periodic_fbm(cx, cy, 256, 6, seed_clouds);
}

uint8_t sky_pixel(int x, int row) {
    const double d = dither(x, row);
    const double s = (sky_levels - 1) * ramp(0.0, double(horizon_row), row);
    if (row < horizon_row) {
        const double density = cloud_density(x, row);
        const double cover = ramp(0.50, 0.58, density) * (1.0 - ramp(150.0, 232.0, row));
        // how much cloud: 0 is clear sky, edge_mix_levels + 1 the cloud itself
        const int mix = int(cover * (edge_mix_levels + 1) + d);
        if (mix > edge_mix_levels) {
            const double light = cloud_levels - 1 - (density - 0.55) * 60.0 + d;
            return uint8_t(cloud_first_index + clamp_level(int(light), cloud_levels));
        }
        if (mix > 0) {
            const int group = clamp_level(int(s * edge_sky_groups / sky_levels + d - 0.5), edge_sky_groups);
            return uint8_t(edge_index(group, mix));
        }
    }
    return uint8_t(sky_first_index + clamp_level(int(s + d), sky_levels));
}

}  // namespace

std::vector<uint8_t> make_sky() {
    std::vector<uint8_t> sky(size_t(landscape_size) * landscape_size);
    for (int row = 0; row < landscape_size; ++row)
        for (int x = 0; x < landscape_size; ++x)
            sky[size_t(row) * landscape_size + x] = sky_pixel(x, row);
    return sky;
}
