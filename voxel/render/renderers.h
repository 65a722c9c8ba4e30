// renderers.h - the eight column renderers. Each draws the terrain of one
// frame into `frame` (frame_width x frame_height pixels) from the camera
// arguments; sky pixels are left as they are.
#pragma once
#include <cstdint>

#include "voxel/render/terrain.h"

void render_standard_8(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_standard_16(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_standard_24(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_standard_32(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);

void render_vector_8(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_vector_16(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_vector_24(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_vector_32(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);

// The same drawing over the columns [first, end) of the frame only, for a
// frame drawn in parts (one part a thread): each column's pixels are those
// a whole-frame call draws. For the vector renderer `first` is a multiple
// of 4. depth: 0 = 8, 1 = 16, 2 = 24, 3 = 32 bits.
void render_standard_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
void render_vector_part(int depth, const camera_state &camera, uint8_t *frame, int first, int end);
