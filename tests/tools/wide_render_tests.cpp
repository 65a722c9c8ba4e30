// voxel-render's wider renderers (each variant: scalar reads and gathers)
// and its frames drawn on several threads,
// byte for byte against the four-lane renderer on one thread: on the maps
// built for one effect each (level rays, a camera under the terrain, far
// cameras, frames narrower than one pass or ending in a partial group, very
// wide, short and narrow frames), on random hills, and in every frame of the
// flight over the generated landscape at every depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/terrain_world.h"
#include "tools/landscape/landscape.h"
#include "tools/scratch_dir.h"
#include "tools/shared/cpu_support.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/display/data_folder.h"
#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

using test_support::terrain_world;

namespace {

constexpr uint32_t sky = 0xEEEEEEEE;

// Every variant of the wider paths this machine runs, each as a path of
// its own ("avx512 gathers"); the paths it cannot run are named with the
// reason.
std::vector<const render_path *> runnable_wide_paths()
{
    static std::vector<std::string> names;
    static std::vector<render_path> variants;
    if (variants.empty()) {
        for (const char *name : {"avx2", "avx512"}) {
            const render_path *path = find_render_path(name);
            if (!cpu_supports(path->needs)) {
                std::printf("[  SKIPPED ] %s: %s\n", name, cpu_missing(path->needs).c_str());
                continue;
            }
            for (int v = 0; v < path->variant_count; ++v)
                names.push_back(std::string(name) + " " + path->variants[v].name);
        }
        size_t k = 0;
        for (const char *name : {"avx2", "avx512"}) {
            const render_path *path = find_render_path(name);
            if (!cpu_supports(path->needs))
                continue;
            for (int v = 0; v < path->variant_count; ++v, ++k) {
                render_path variant = *path;
                variant.name = names[k].c_str();
                variant.draw = path->variants[v].draw;
                variant.variant = path->variants[v].name;
                variants.push_back(variant);
            }
        }
    }
    std::vector<const render_path *> paths;
    for (const render_path &variant : variants)
        paths.push_back(&variant);
    return paths;
}

// Hills of a few sine waves plus noise, so that spans start at many steps.
void fill_hills(terrain_world &w, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> phase(0.0, 6.28);
    std::uniform_int_distribution<int> noise(0, 40);
    const double p1 = phase(rng), p2 = phase(rng), p3 = phase(rng);
    for (int iy = 0; iy < 512; ++iy)
        for (int ix = 0; ix < 512; ++ix) {
            const double v = 100 + 50 * std::sin(ix * 6.2832 / 128 + p1) + 40 * std::sin(iy * 6.2832 / 64 + p2) +
                             25 * std::sin((ix + iy) * 6.2832 / 32 + p3);
            w.set_height(ix, iy, uint8_t(std::clamp(int(v) + noise(rng) - 20, 0, 255)));
        }
}

// The path's frame and the four-lane renderer's, each drawn over the same
// sky, must hold the same bytes, and nothing outside the frame may change.
void expect_four_lane_bytes(const render_path &path, terrain_world &w, const camera_state &cam)
{
    w.frame.fill_sky(sky);
    render_vector_part(w.depth, cam, w.frame.pixels(), 0, w.frame.width);
    const std::vector<uint8_t> expected(w.frame.pixels(), w.frame.pixels() + w.frame.frame_bytes());
    w.frame.fill_sky(sky);
    path.draw(w.depth, cam, w.frame.pixels(), 0, w.frame.width);
    ASSERT_TRUE(w.frame.guards_intact()) << path.name;
    const uint8_t *got = w.frame.pixels();
    const auto first = std::mismatch(expected.begin(), expected.end(), got).first;
    if (first != expected.end()) {
        const size_t pixel = size_t(first - expected.begin()) / size_t(w.bpp);
        FAIL() << path.name << " at " << 8 * w.bpp << " bits, " << w.frame.width << " x " << w.frame.height
               << ", camera " << cam.x << "," << cam.y << " height " << cam.height << " horizon " << cam.horizon
               << " heading " << cam.heading << ": first difference at row " << pixel / size_t(w.frame.width)
               << " column " << pixel % size_t(w.frame.width);
    }
}

// Random cameras over random hills, for every depth and every frame size.
void expect_four_lane_bytes_on_hills(const render_path &path, int width, int height, unsigned seed, int cameras)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coord(-3000, 3000), z(0, 3000), horizon(-50, 400), heading(0, angle_steps - 1);
    for (int depth = 0; depth < 4; ++depth) {
        terrain_world w(width, height, depth);
        fill_hills(w, seed + depth);
        w.fill_colours_indexed();
        for (int i = 0; i < cameras; ++i)
            expect_four_lane_bytes(path, w, {coord(rng), coord(rng), z(rng), horizon(rng), heading(rng), 8});
    }
}

TEST(wide_renderers, random_hills_at_every_depth_and_awkward_frame_size)
{
    struct size {
        int width, height;
    };
    // a whole pass and more; partial last groups; frames narrower than one
    // pass of either renderer; narrow and short frames (row limits); a frame
    // wide enough for angles below -1920
    const size sizes[] = {{320, 240}, {61, 90}, {62, 90}, {63, 90}, {65, 90}, {2, 16},  {5, 16},
                          {6, 16},    {7, 16},  {9, 16},  {13, 16}, {15, 16}, {17, 16}, {40, 256},
                          {256, 40},  {2600, 4}};
    for (const render_path *path : runnable_wide_paths())
        for (const size &s : sizes) {
            SCOPED_TRACE(std::to_string(s.width) + " x " + std::to_string(s.height));
            expect_four_lane_bytes_on_hills(*path, s.width, s.height, 100u + unsigned(s.width), 6);
        }
}

TEST(wide_renderers, level_rays_cameras_under_the_terrain_and_far_cameras)
{
    for (const render_path *path : runnable_wide_paths())
        for (int depth = 0; depth < 4; ++depth) {
            SCOPED_TRACE(depth);
            terrain_world w(64, 64, depth);
            w.fill_colours_indexed();
            // flat land and a level ray: samples level with the ray start no
            // span, rows that land level with a sample go on
            for (int level : {0, 50, 100}) {
                w.fill_heights(uint8_t(level));
                for (int height = 8 * level - 40; height <= 8 * level + 40; ++height)
                    for (int horizon : {40, 63, 64})
                        expect_four_lane_bytes(*path, w, {256, 264, height, horizon, 480, 8});
            }
            // under the terrain every group stops at its row limit
            w.fill_heights(200);
            expect_four_lane_bytes(*path, w, {256, 264, 1500, 230, 480, 8});
            // beyond 2^22 - 1024 the camera is moved by a multiple of 512
            fill_hills(w, 77);
            expect_four_lane_bytes(*path, w, {256 + 512 * 9000, -256 - 512 * 9000, 1500, 230, 300, 8});
        }
}

// The generated landscape loaded from a scratch folder, as voxel-render
// loads it.
struct generated_landscape {
    scratch_dir dir;
    explicit generated_landscape(int depth)
    {
        EXPECT_TRUE(write_landscape(dir.path));
        data_folder = dir.path + "/";
        render_options o;
        o.depth = depth;
        std::string error;
        EXPECT_TRUE(load_landscape(o, &error)) << error;
    }
    ~generated_landscape()
    {
        release_terrain();
        data_folder.clear();
    }
};

std::vector<uint8_t> frame_bytes(int depth)
{
    return std::vector<uint8_t>(frame_buffer, frame_buffer + size_t(frame_width) * size_t(frame_height) *
                                                                 size_t(bytes_per_pixel(depth)));
}

// Every frame of one loop of the flight, each drawn after the ones before it.
std::vector<std::vector<uint8_t>> flight_frames(const render_path &path, int depth, int threads, long frames)
{
    std::vector<std::vector<uint8_t>> shown;
    flight f = start_flight(path, depth, threads);
    while (f.frames < frames) {
        fly(f, 1);
        shown.push_back(frame_bytes(depth));
    }
    end_flight(f);
    return shown;
}

TEST(wide_renderers, every_frame_of_the_flight_at_every_depth)
{
    const std::vector<const render_path *> paths = runnable_wide_paths();
    for (int depth = 0; depth < 4; ++depth) {
        generated_landscape land(depth);
        const auto four_lane = flight_frames(*find_render_path("vector"), depth, 1, flight_round);
        for (const render_path *path : paths) {
            const auto wide = flight_frames(*path, depth, 1, flight_round);
            for (long i = 0; i < flight_round; ++i)
                ASSERT_TRUE(wide[i] == four_lane[i]) << path->name << " at depth " << depth << ", frame " << i + 1;
        }
    }
}

// A frame that keeps some of what the frames before it left: a camera just
// above the hills that looks up leaves rows between the sky and the terrain
// undrawn in many columns.
// The frame at the end of the flight depends on the whole flight, so a
// flight split among threads by frames would show it.
TEST(flight_threads, every_thread_count_leaves_one_threads_bytes_for_every_path)
{
    for (int depth : {1, 3}) {
        terrain_world w(203, 150, depth);   // 7 blocks of columns, the last group partial
        fill_hills(w, 5);
        w.fill_colours_indexed();
        w.fill_clouds_pattern();
        const long frames = 30;
        // the last frame drawn over a cleared frame instead
        std::vector<uint8_t> alone;
        {
            flight f = start_flight(*find_render_path("vector"), depth, 1);
            f.camera.height = 900;
            f.camera.horizon = 300;
            fly(f, frames - 1);
            std::memset(frame_buffer, 0, w.frame.frame_bytes());
            fly(f, 1);
            alone = frame_bytes(depth);
            end_flight(f);
        }
        std::vector<const render_path *> paths = {find_render_path("standard"), find_render_path("vector")};
        for (const render_path *variant : runnable_wide_paths())
            paths.push_back(variant);
        for (const render_path *each : paths) {
            const render_path &path = *each;
            std::vector<uint8_t> one_thread;
            for (int threads : {1, 2, 3, 5, 16}) {   // 16: more threads than units of 16 columns
                flight f = start_flight(path, depth, threads);
                f.camera.height = 900;
                f.camera.horizon = 300;
                // on several threads, the last two frames in rounds of their
                // own before which the columns change hands: first piled on
                // the first threads (the last ones with none), then on the
                // last thread
                fly(f, frames - 2);
                const size_t drawing = f.column_ends.size();
                if (threads > 1) {
                    std::vector<int> ends(drawing, 203);
                    for (size_t k = 0; k + 1 < drawing; ++k)
                        ends[k] = std::min(16 * int(k + 1), 48);
                    set_column_ends(f, ends);
                }
                fly(f, 1);
                if (threads > 1) {
                    std::vector<int> ends(drawing, 0);
                    ends.back() = 203;
                    set_column_ends(f, ends);
                }
                fly(f, 1);
                end_flight(f);
                if (threads == 1) {
                    one_thread = frame_bytes(depth);
                    ASSERT_FALSE(one_thread == alone) << "the last frame does not depend on the ones before it";
                }
                EXPECT_TRUE(frame_bytes(depth) == one_thread) << path.name << " on " << threads << " threads at depth "
                                                              << depth;
            }
        }
    }
}

// The ends of the threads' columns move half way toward an equal time for
// every thread, the time of a range spread evenly over its columns, onto
// whole units of columns.
TEST(flight_threads, column_ranges_move_half_way_toward_equal_times)
{
    struct example {
        std::vector<int> ends;
        std::vector<double> ms;
        std::vector<int> balanced;
    } examples[] = {
        {{256, 512}, {1.0, 1.0}, {256, 512}},
        {{256, 512}, {0.0, 0.0}, {256, 512}},
        {{256, 512}, {3.0, 1.0}, {208, 512}},        // equal at 170.7, half way 213.3
        {{0, 512}, {0.0, 5.0}, {128, 512}},          // a thread with no columns
        {{160, 336, 512}, {1.0, 1.0, 4.0}, {256, 384, 512}},
        {{16, 32, 203}, {1.0, 1.0, 6.0}, {32, 80, 203}},   // a width that is no whole unit
    };
    for (const example &e : examples) {
        std::vector<int> ends = e.ends;
        balance_columns(ends, e.ms, 16);
        EXPECT_EQ(ends, e.balanced) << e.ends[0] << " " << e.ms[0];
    }
}

TEST(flight_threads, the_generated_flight_on_two_and_three_threads)
{
    generated_landscape land(3);
    const auto one_thread = flight_frames(*find_render_path("vector"), 3, 1, 70);
    std::vector<const render_path *> paths = {find_render_path("vector")};
    for (const render_path *variant : runnable_wide_paths())
        paths.push_back(variant);
    for (const render_path *path : paths)
        for (int threads : {2, 3})
            EXPECT_TRUE(flight_frames(*path, 3, threads, 70) == one_thread) << path->name << " on " << threads;
}

}  // namespace
