// renderers.h - the eight column renderers. Each draws the terrain of one
// frame into `frame` (frame_width x frame_height pixels) from the camera
// arguments; sky pixels are left as they are.
#pragma once
#include <cstdint>

void render_standard_8(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_standard_16(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_standard_24(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_standard_32(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);

void render_vector_8(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_vector_16(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_vector_24(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
void render_vector_32(int x, int y, int height, int horizon, int heading, int reserved, uint8_t *frame);
