// terrain.cpp - the height map: a river valley along x = 256
// between hills and mountains, on a map that wraps in both directions.
#include "tools/landscape/landscape.h"

namespace {

constexpr uint32_t seed_meander = 11, seed_rolling = 23, seed_ridges = 37, seed_floor = 41;

double smoothstep(double edge0, double edge1, double v) {
    if (v <= edge0)
        return 0.0;
    if (v >= edge1)
        return 1.0;
    const double t = (v - edge0) / (edge1 - edge0);
    return t * t * (3.0 - 2.0 * t);
}

// Distance across the map from the river's course, on the wrapping x axis:
// the river swings up to 18 units either side of x = 256 as y advances.
double distance_from_river(int x, int y) {
    const double centre = 256.0 + 36.0 * (periodic_noise(0, y, 128, seed_meander) - 0.5);
    double d = x - centre;
    if (d < 0)
        d = -d;
    return d > 256.0 ? 512.0 - d : d;
}

// Mountain crests: folded noise makes sharp ridges with valleys between.
double ridges(int x, int y) {
    double sum = 0.0, weight = 0.0, amplitude = 1.0;
    int cell = 128;
    for (int o = 0; o < 5; ++o, cell /= 2, amplitude *= 0.5) {
        double n = 2.0 * periodic_noise(x, y, cell, seed_ridges + uint32_t(o) * 7u) - 1.0;
        n = 1.0 - (n < 0 ? -n : n);
        sum += amplitude * n * n;
        weight += amplitude;
    }
    return sum / weight;
}

}  // namespace

double ground_height(int x, int y) {
    // Valley profile: the river bed, banks up to 30 units from the river, a
    // meadow floor, slopes from 36 to 120 units, mountains beyond.
    const double d = distance_from_river(x, y);
    const double banks = smoothstep(4.0, 30.0, d);
    const double rise = smoothstep(36.0, 120.0, d);
    const double floor_bumps = 12.0 * (periodic_fbm(x, y, 32, 3, seed_floor) - 0.5);
    const double hills = (periodic_fbm(x, y, 128, 6, seed_rolling) - 0.5) * (30.0 + 70.0 * rise);
    const double peaks = ridges(x, y) * 120.0 * rise * rise;
    return 10.0 + 18.0 * banks + floor_bumps + 120.0 * rise + hills + peaks;
}

namespace {

uint8_t height_at(int x, int y) {
    double h = ground_height(x, y);
    // The water surface is flat.
    if (h < landscape_water_level)
        h = landscape_water_level;
    return uint8_t(h > 255.0 ? 255 : int(h));
}

}  // namespace

std::vector<uint8_t> make_heights() {
    std::vector<uint8_t> heights(size_t(landscape_size) * landscape_size);
    for (int y = 0; y < landscape_size; ++y)
        for (int x = 0; x < landscape_size; ++x)
            heights[size_t(y) * landscape_size + x] = height_at(x, y);
    return heights;
}
