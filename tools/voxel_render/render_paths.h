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
#pragma once
#include <cstdint>
#include <string>

#include "voxel/render/terrain.h"

struct render_path {
    const char *name;   // --renderer: "standard", "vector", "avx2", "avx512"
    int lanes;          // columns traced at once: 1, 4, 8, 16
    unsigned needs;     // cpu_support.h bits; 0: any x86-64
    // The terrain of the columns [first, end) (first a multiple of 16) at
    // depth 0-3, as the whole frame's call draws them.
    void (*draw)(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
};

constexpr int render_path_count = 4;
// standard, vector, avx2, avx512: in the order of the comparison's lines.
extern const render_path render_paths[render_path_count];

// The path of that name, or null.
const render_path *find_render_path(const std::string &name);

// The wider renderers: 8 columns a pass (two groups of four, AVX2) and 16
// (four groups, AVX-512F and AVX-512BW).
void render_avx2_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
void render_avx512_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
