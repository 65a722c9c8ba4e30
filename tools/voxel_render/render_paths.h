// render_paths.h - voxel-render's renderers by name: the demo's two and the
// wider ones that draw the four-lane renderer's picture with more columns a
// pass. Each draws any part of a frame, so that a frame can be drawn by
// several threads at once.
//
//   const render_path *path = find_render_path("avx512");
//   if (path && cpu_supports(path->needs))
//       path->draw(pixel_depth, camera, frame_buffer, 0, frame_width);
//
// A path whose needs this processor or system lacks must never be called.
// The wide paths come in variants that draw the same bytes at the speeds
// of different processors; choose_render_variants picks one by a trial.
#pragma once
#include <cstdint>
#include <string>

#include "voxel/render/terrain.h"

using draw_part = void (*)(int depth, const camera_state &camera, uint8_t *frame, int first, int end);

// One way of drawing a path's picture: the same bytes, another speed (the
// wide renderers read the maps by a load an element or by gathers, and which
// is faster depends on the processor).
struct render_variant {
    const char *name;   // "scalar-reads", "gathers"
    draw_part draw;
};

struct render_path {
    const char *name;   // --renderer: "standard", "vector", "avx2", "avx512"
    int lanes;          // columns traced at once: 1, 4, 8, 16
    unsigned needs;     // cpu_support.h bits; 0: any x86-64
    // The terrain of the columns [first, end) (first a multiple of 16) at
    // depth 0-3, as the whole frame's call draws them: the chosen variant's
    // (the first until choose_render_variants chose).
    draw_part draw;
    const render_variant *variants;   // null for a path drawn one way only
    int variant_count;
    const char *variant;              // the chosen variant's name, or null
};

constexpr int render_path_count = 4;
// standard, vector, avx2, avx512: in the order of the comparison's lines.
extern render_path render_paths[render_path_count];

// The path of that name, or null.
const render_path *find_render_path(const std::string &name);

// For every path with variants that this processor runs, a short timed
// trial of each variant over the flight's first frames at `depth` (rounds
// of 16 frames in turns, each variant against the first by the median of
// the rounds' ratios), and the fastest kept as the path's draw and variant. Needs the landscape loaded; leaves the
// frame buffer as drawn.
void choose_render_variants(int depth);
// The variant of that name for every wide path instead; false when none
// is called so.
bool force_render_variant(const std::string &name);

// The wider renderers: 8 columns a pass (two groups of four, AVX2) and 16
// (four groups, AVX-512F and AVX-512BW), each reading the maps a load an
// element or by gathers.
void render_avx2_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
void render_avx2_gathers_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
void render_avx512_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
void render_avx512_gathers_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
