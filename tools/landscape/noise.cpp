// noise.cpp - value noise that wraps every 512 map units.
#include "tools/landscape/landscape.h"

namespace {

// Integer hash of a lattice point: the same bits on every machine.
uint32_t lattice_hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double lattice_value(int ix, int iy, int period, uint32_t seed) {
    const uint32_t wx = uint32_t(((ix % period) + period) % period);
    const uint32_t wy = uint32_t(((iy % period) + period) % period);
    return double(lattice_hash(wx, wy, seed) >> 8) / 16777216.0;
}

double fade(double t) { return t * t * (3.0 - 2.0 * t); }

int floor_div(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

}  // namespace

double periodic_noise(int x, int y, int cell, uint32_t seed) {
    const int period = landscape_size / cell;
    const int ix = floor_div(x, cell), iy = floor_div(y, cell);
    const double tx = fade(double(x - ix * cell) / cell);
    const double ty = fade(double(y - iy * cell) / cell);
    // Blend the four corners of the cell, first along x, then along y.
    const double top = lattice_value(ix, iy, period, seed) * (1.0 - tx) +
                       lattice_value(ix + 1, iy, period, seed) * tx;
    const double bottom = lattice_value(ix, iy + 1, period, seed) * (1.0 - tx) +
                          lattice_value(ix + 1, iy + 1, period, seed) * tx;
    return top * (1.0 - ty) + bottom * ty;
}

double periodic_fbm(int x, int y, int cell, int octaves, uint32_t seed) {
    double sum = 0.0, weight = 0.0, amplitude = 1.0;
    for (int o = 0; o < octaves && cell >= 1; ++o) {
        sum += amplitude * periodic_noise(x, y, cell, seed + uint32_t(o) * 101u);
        weight += amplitude;
        amplitude *= 0.5;
        cell /= 2;
    }
    return sum / weight;
}
