// render_avx512.cpp - the avx512 renderer: four groups of four columns a
// pass, the four-lane renderer's picture byte for byte, with the maps read
// by a load an element or by gathers (wide_reads.h). Only the functions
// marked WIDE_TARGET are built for AVX-512 (F and BW); render_paths.cpp
// calls these only where the processor and the operating system run them.
#define WIDE_TARGET [[gnu::target("avx512f,avx512bw")]]
#include "tools/voxel_render/wide_avx512.h"
#include "tools/voxel_render/wide_pass.h"
#include "tools/voxel_render/render_paths.h"

WIDE_TARGET void render_avx512_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end)
{
    trace_columns<avx512_ops, scalar_reads>(depth, camera, frame, first, end);
}

WIDE_TARGET void render_avx512_gathers_part(int depth, const camera_state &camera, uint8_t *frame, int first,
                                            int end)
{
    trace_columns<avx512_ops, gather_reads>(depth, camera, frame, first, end);
}
