// frame_step.cpp - what the frame driver does around the column renderer:
// choosing it, refilling the sky and moving the camera before it runs, and
// copying the finished rows into the display surface after it.
#include <cstring>

#include "voxel/render/renderers.h"
#include "voxel/render/sky_size.h"
#include "voxel/render/terrain.h"

void select_renderer(int code)
{
    switch (code) {
    case 0:
    case 1:
    case 2: current_renderer = render_standard_8; break;
    case 3: current_renderer = render_standard_16; break;
    case 4: current_renderer = render_standard_24; break;
    case 5: current_renderer = render_standard_32; break;
    case 6: current_renderer = render_vector_8; break;
    case 7: current_renderer = render_vector_16; break;
    case 8: current_renderer = render_vector_24; break;
    case 9: current_renderer = render_vector_32; break;
    default: break; // unknown codes keep the renderer in use
    }
}

static void refill_sky()
{
    // nothing to draw into before a successful init_terrain
    if (!frame_buffer || !cloud_image)
        return;
    std::memcpy(frame_buffer, cloud_image, sky_bytes(pixel_depth, frame_width, frame_height));
}

// One step of `speed` map units along the heading, each coordinate summed in
// double precision and truncated toward zero.
void step_camera(camera_state &c)
{
    const double cos_heading = sine_table[wrap_angle(c.heading + angle_steps / 4)];
    const double sin_heading = sine_table[wrap_angle(c.heading)];
    c.x = static_cast<int>(c.x + c.speed * cos_heading);
    c.y = static_cast<int>(c.y + c.speed * sin_heading);
}

void begin_frame()
{
    refill_sky();
    step_camera(camera);
}

unsigned copy_rows(uint8_t *dst, int dst_pitch, const uint8_t *src, int src_pitch,
                   unsigned bytes_per_row, unsigned rows)
{
    for (unsigned r = 0; r < rows; r++) {
        std::memcpy(dst, src, bytes_per_row);
        dst += dst_pitch;
        src += src_pitch;
    }
    return rows;
}
