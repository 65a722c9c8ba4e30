// render_avx2.cpp - the avx2 renderer: two groups of four columns a pass,
// the four-lane renderer's picture byte for byte, with the maps read by a
// load an element or by gathers (wide_reads.h). Only the functions marked
// WIDE_TARGET are built for AVX2; render_paths.cpp calls these only where
// the processor and the operating system run AVX2.
#define WIDE_TARGET [[gnu::target("avx2")]]
#include "tools/voxel_render/wide_avx2.h"
#include "tools/voxel_render/wide_pass.h"
#include "tools/voxel_render/render_paths.h"

WIDE_TARGET void render_avx2_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end)
{
    trace_columns<avx2_ops, scalar_reads>(depth, camera, frame, first, end);
}

WIDE_TARGET void render_avx2_gathers_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end)
{
    trace_columns<avx2_ops, gather_reads>(depth, camera, frame, first, end);
}
