// terrain.h - the world voxel flies over: maps, sine table, camera, frame
// buffer, renderer selection and the per-frame step.
//
//   pixel_depth = 3;                  // 0 = 8, 1 = 16, 2 = 24, 3 = 32 bits
//   if (init_terrain() != 0) ...      // loads the three bitmaps, allocates the frame
//   begin_frame();                    // sky refill, camera step
//   current_renderer(camera.x, camera.y, camera.height, camera.horizon,
//                    camera.heading, 0, frame_buffer);
//   copy_rows(surface + 2, pitch, frame_buffer, frame_width * bpp, ...);
//   release_terrain();                // frees maps and frame buffer
#pragma once
#include <cstdint>

constexpr int angle_steps = 1920;   // a full turn
constexpr int map_size = 512;       // both maps wrap every 512 samples

// Shared with the demo shell: 0 = 8, 1 = 16, 2 = 24, 3 = 32 bits, 4 = unsupported.
extern int pixel_depth;
// 0 in the standard phase, 1 from the phase switch on.
extern int vector_phase;

constexpr int bytes_per_pixel(int depth) { return depth >= 0 && depth <= 3 ? depth + 1 : 0; }

struct camera_state {
    int x, y, height, horizon, heading, speed;
};
extern camera_state camera;
constexpr camera_state camera_start = {256, 256, 1500, 230, 480, 8};

extern float sine_table[angle_steps];
extern const float slope_step;        // 0.2f

extern uint8_t *height_map;           // 1 byte per sample
extern uint8_t *colour_map;           // bytes_per_pixel(pixel_depth) per sample
extern uint8_t *cloud_image;          // frame pixel format, top row first
extern uint8_t *frame_buffer;         // frame_height rows of frame_width pixels, 16-byte aligned
extern int frame_width;               // B
extern int frame_height;              // A

using column_renderer = void (*)(int x, int y, int height, int horizon, int heading,
                                 int reserved, uint8_t *frame);
extern column_renderer current_renderer;

inline int wrap_angle(int i) { return i < 0 ? i + angle_steps : i >= angle_steps ? i - angle_steps : i; }
inline unsigned map_index(int x, int y) { return ((unsigned(y) & 511u) << 9) | (unsigned(x) & 511u); }

void init_angle_tables();
int init_terrain();
void select_renderer(int code);
void begin_frame();
// The camera step of begin_frame, on any camera.
void step_camera(camera_state &c);
unsigned copy_rows(uint8_t *dst, int dst_pitch, const uint8_t *src, int src_pitch,
                   unsigned bytes_per_row, unsigned rows);
// Frees the maps and the frame buffer (each only if present) and clears them.
void release_terrain();
