// landscape.h - the world voxel flies over, made from a few fixed seeds.
//
//   std::vector<uint8_t> heights = make_heights();        // 512 x 512 samples
//   std::vector<uint8_t> colours = make_colour_indices(heights);
//   std::vector<uint8_t> sky = make_sky();
//   write_landscape("data");   // heightd2.bmp, heightc2.bmp, clouds.bmp
//
// Maps are indexed [y * 512 + x], row y = 0 first, which is the order of a
// bitmap's pixel block. The height map wraps in x and in y. A river valley
// runs along x = 256 in the direction of +y, below the camera's flight
// height, between hills and mountains. Colours are colour-table indices
// 10-245, shared by the colour map and the sky: light from a fixed sun is
// baked into them. All arithmetic is integer or plain IEEE double (no
// library functions but sqrt), so the files are the same on every machine.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int landscape_size = 512;
constexpr int landscape_water_level = 22;  // sample value of the water surface

// The colour-table index ranges.
constexpr int landscape_first_index = 10;
constexpr int landscape_last_index = 245;
constexpr int shade_levels = 24;
enum landscape_band { band_water, band_sand, band_grass, band_forest, band_rock, band_snow, band_count };
constexpr int band_index(int band, int level) { return landscape_first_index + band * shade_levels + level; }
constexpr int sky_first_index = band_index(band_count, 0);       // 154
constexpr int sky_levels = 20;                                    // 154-173
constexpr int cloud_first_index = sky_first_index + sky_levels;  // 174
constexpr int cloud_levels = 16;                                  // 174-189
// Cloud edges: the sky of one of `edge_sky_groups` stretches of the gradient
// mixed with a bright cloud in `edge_mix_levels` steps, so that an edge
// fades over neighbouring colours instead of jumping from sky to white.
constexpr int edge_first_index = cloud_first_index + cloud_levels;  // 190
constexpr int edge_sky_groups = 8;
constexpr int edge_mix_levels = 7;                                   // 190-245
constexpr int edge_index(int group, int mix) { return edge_first_index + group * edge_mix_levels + mix - 1; }
static_assert(edge_index(edge_sky_groups - 1, edge_mix_levels) == landscape_last_index);

struct landscape_rgb {
    uint8_t red, green, blue;
};

std::vector<uint8_t> make_heights();
// The ground under the water too, in sample units (unclamped).
double ground_height(int x, int y);
std::vector<uint8_t> make_colour_indices(const std::vector<uint8_t> &heights);
std::vector<uint8_t> make_sky();
// The shared colour table: entries 10-245 as above, the others black.
std::array<landscape_rgb, 256> landscape_palette();

// Periodic value noise over the 512-wide torus, in [0, 1); cell sizes divide 512.
double periodic_noise(int x, int y, int cell, uint32_t seed);
double periodic_fbm(int x, int y, int cell, int octaves, uint32_t seed);

// Writes the three files into dir; false when one cannot be written.
bool write_landscape(const std::string &dir);
