// flight.cpp - frames of the fly-over as the frame driver draws them (sky
// refill, camera step, terrain), on one thread or several, timed.
//
// On several threads each frame is drawn in parts: the frame's columns in
// blocks (32 columns at 16 and 32 bits, 64 at 8 and 24 bits: whole cache
// lines of each row, so that no two threads write into one line), block k
// on thread k mod N, in every frame. A pixel that
// neither the sky nor the terrain covers keeps what the frame before left
// there, so a frame depends on the frames before it; but only within its own
// columns, and a thread that keeps the same columns through the whole flight
// leaves exactly the bytes one thread leaves. The threads never wait for each
// other within a round of frames: each refills its own columns of the sky and
// steps its own copy of the camera. (Splitting the flight's frames instead
// would need each thread to know the frame buffer as the frames before its
// first one left it.) The blocks, taken in turns, give every thread parts
// of the near and the far terrain alike.
#include <algorithm>
#include <cstring>

#include "tools/shared/rounds.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/render/sky_size.h"

namespace {

// A multiple of the widest pass (16 columns) whose bytes in a row are whole
// cache lines; the smaller, the more evenly the near and the far terrain are
// shared out.
constexpr int block_columns(int depth)
{
    return bytes_per_pixel(depth) % 2 ? 64 : 32;
}

struct flight_share {
    const render_path &path;
    int depth, threads;
    camera_state start;   // the camera before the round's first frame
    long frames;
};

// Copies the cloud image's bytes over thread k's columns of the sky rows.
void refill_sky_part(int depth, int k, int threads)
{
    const size_t sky = sky_bytes(depth, frame_width, frame_height);
    if (threads == 1) {
        std::memcpy(frame_buffer, cloud_image, sky);
        return;
    }
    const size_t bpp = size_t(bytes_per_pixel(depth)), row_bytes = size_t(frame_width) * bpp;
    const int block = block_columns(depth);
    for (size_t row = 0; row * row_bytes < sky; ++row)
        for (int c = k * block; c < frame_width; c += threads * block) {
            const size_t first = row * row_bytes + size_t(c) * bpp;
            const size_t end = std::min({first + size_t(block) * bpp, (row + 1) * row_bytes, sky});
            if (first < end)
                std::memcpy(frame_buffer + first, cloud_image + first, end - first);
        }
}

void draw_terrain_part(const flight_share &f, const camera_state &cam, int k)
{
    if (f.threads == 1) {
        f.path.draw(f.depth, cam, frame_buffer, 0, frame_width);
        return;
    }
    const int block = block_columns(f.depth);
    for (int c = k * block; c < frame_width; c += f.threads * block)
        f.path.draw(f.depth, cam, frame_buffer, c, std::min(c + block, frame_width));
}

void fly_share(const flight_share &f, int k)
{
    camera_state cam = f.start;
    for (long i = 0; i < f.frames; ++i) {
        refill_sky_part(f.depth, k, f.threads);
        step_camera(cam);
        draw_terrain_part(f, cam, k);
    }
}

}  // namespace

flight start_flight(const render_path &path, int depth, int threads)
{
    std::memset(frame_buffer, 0, size_t(frame_width) * size_t(frame_height) * size_t(bytes_per_pixel(depth)));
    return {&path, depth, threads, start_team(threads), camera_start, 0,
            threads == 1 ? thread_clock_ms : wall_clock_ms};
}

void end_flight(flight &f)
{
    stop_team(f.team);
    f.team = nullptr;
}

double fly(flight &f, long count)
{
    const flight_share share{*f.path, f.depth, f.threads, f.camera, count};
    const double start = f.clock();
    run_team(f.team, [&share](int k) { fly_share(share, k); });
    const double end = f.clock();
    for (long i = 0; i < count; ++i)
        step_camera(f.camera);
    f.frames += count;
    return (end - start) / double(count);
}

std::vector<double> fly_frames(const render_path &path, int depth, int threads, long frames, long round_frames)
{
    flight f = start_flight(path, depth, threads);
    std::vector<double> times;
    while (f.frames < frames)
        times.push_back(fly(f, std::min(round_frames, frames - f.frames)));
    end_flight(f);
    return times;
}

double median_ms(std::vector<double> times)
{
    return median_of(std::move(times));
}
