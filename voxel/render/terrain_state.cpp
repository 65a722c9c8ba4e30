// terrain_state.cpp - the process-wide world: depth and phase flags, camera,
// sine table, maps, frame buffer and the selected column renderer.
#include <cmath>

#include "voxel/render/terrain.h"

int pixel_depth = 0;
int vector_phase = 0;

camera_state camera = camera_start;

float sine_table[angle_steps];
const float slope_step = 0.2f;

uint8_t *height_map = nullptr;
uint8_t *colour_map = nullptr;
uint8_t *cloud_image = nullptr;
uint8_t *frame_buffer = nullptr;
int frame_width = 0;
int frame_height = 0;

column_renderer current_renderer = nullptr;

// Entry i is sin(i * 6.2831853 / 1920): the product in double precision with
// the shortened 2 pi, rounded to single precision only at the end. So entry
// 480 is exactly 1.0 and entry 960 a tiny positive number, not zero.
void init_angle_tables()
{
    for (int i = 0; i < angle_steps; i++)
        sine_table[i] = static_cast<float>(std::sin(i * 6.2831853 * 0.0005208333333333333));
}
