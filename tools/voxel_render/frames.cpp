// frames.cpp - frames as the frame driver draws them, timed.
#include <algorithm>
#include <chrono>

#include "tools/voxel_render/voxel_render.h"
#include "voxel/render/terrain.h"

std::vector<double> run_frames(bool vector, int depth, long frames) {
    camera = camera_start;
    select_renderer((vector ? 6 : 2) + depth);
    std::vector<double> times;
    times.reserve(size_t(frames));
    for (long i = 0; i < frames; ++i) {
        // One frame: sky refill and camera step, then the renderer.
        const auto start = std::chrono::steady_clock::now();
        begin_frame();
        current_renderer(camera.x, camera.y, camera.height, camera.horizon, camera.heading, 0, frame_buffer);
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    return times;
}

// The middle time, or the mean of the two middle times of an even count.
double median_ms(std::vector<double> times) {
    if (times.empty())
        return 0.0;
    std::sort(times.begin(), times.end());
    const size_t mid = times.size() / 2;
    return times.size() % 2 ? times[mid] : (times[mid - 1] + times[mid]) / 2.0;
}
