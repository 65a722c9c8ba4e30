// The four-lane renderer against a plain scalar model of the same algorithm:
// one float per lane value, the same operations in the same order, positions
// rounded with nearbyint (to nearest, ties to even) instead of the bias trick.
// Any change to the renderer that moves a single pixel fails here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "support/terrain_world.h"
#include "voxel/render/renderers.h"
#include "voxel/render/terrain.h"

using test_support::terrain_world;

namespace {

constexpr column_renderer vector_renderers[4] = {render_vector_8, render_vector_16, render_vector_24,
                                                 render_vector_32};

// What the model met on its way, so a test can show that a case was reached.
struct model_events {
    long spans = 0;
    long level_refusals = 0;        // h == z at a step: no span starts
    long level_continuations = 0;   // z == h after a row: the span goes on
    long width_stops = 0;           // a group stopped by the row limit
};

int nearest(float v) { return int(std::nearbyint(v)); }

void model_render(const camera_state &cam, uint8_t *frame, int bpp, model_events &ev)
{
    const int B = frame_width, A = frame_height;
    for (int c = 0; c < B - 1; c += 4) {
        float X[4], Y[4], DX[4], DY[4];
        for (int k = 0; k < 4; ++k) {
            int a = cam.heading + 160 - c - k;
            DX[k] = sine_table[wrap_angle(a + 480)] * 2.0f;
            DY[k] = sine_table[wrap_angle(a)] * 2.0f;
            X[k] = float(cam.x);
            Y[k] = float(cam.y);
        }
        float z = float(cam.height);
        float d = (float(cam.horizon) - float(A)) * slope_step;
        float s = 0.0f;
        unsigned drawn = 0;
        int row = A - 1;
        bool finished = false;
        for (int t = 0; t < 280 && !finished; ++t) {
            unsigned cell[4];
            for (int k = 0; k < 4; ++k)
                cell[k] = map_index(nearest(X[k]), nearest(Y[k]));
            float h = float(8 * height_map[cell[0]]);
            if (h == z)
                ++ev.level_refusals;
            if (h > z) {
                ++ev.spans;
                for (;;) {
                    for (int k = 0; k < 4 && c + k < B; ++k)
                        std::memcpy(frame + (size_t(row) * B + c + k) * bpp, colour_map + size_t(cell[k]) * bpp,
                                    size_t(bpp));
                    ++drawn;
                    d += slope_step;
                    --row;
                    z += s;
                    if (drawn >= unsigned(B) || row < 0) {
                        ++ev.width_stops;
                        finished = true;
                        break;
                    }
                    if (z == h)
                        ++ev.level_continuations;
                    if (!(z <= h))
                        break;
                }
                if (finished)
                    break;
            }
            s += slope_step;
            for (int k = 0; k < 4; ++k) {
                X[k] += DX[k];
                Y[k] += DY[k];
            }
            z += d;
        }
    }
}

// Hills of a few sine waves plus noise, so that spans start at many steps.
void fill_landscape(terrain_world &w, std::mt19937 &rng)
{
    std::uniform_real_distribution<double> phase(0.0, 6.28);
    std::uniform_int_distribution<int> noise(0, 40);
    double p1 = phase(rng), p2 = phase(rng), p3 = phase(rng);
    for (int iy = 0; iy < 512; ++iy)
        for (int ix = 0; ix < 512; ++ix) {
            double v = 100 + 50 * std::sin(ix * 6.2832 / 128 + p1) + 40 * std::sin(iy * 6.2832 / 64 + p2)
                       + 25 * std::sin((ix + iy) * 6.2832 / 32 + p3);
            w.set_height(ix, iy, uint8_t(std::clamp(int(v) + noise(rng) - 20, 0, 255)));
        }
}

struct frame_size {
    int width, height;
};

// Renders random cameras over random landscapes with the renderer and the
// model into two frames with the same sky and compares them byte for byte.
model_events compare_with_model(int depth, frame_size size, unsigned seed, int cases)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coord(-3000, 3000), height(0, 3000), horizon(-50, 400),
        heading(0, angle_steps - 1);
    model_events ev;
    terrain_world w(size.width, size.height, depth);
    fill_landscape(w, rng);
    w.fill_colours_indexed();
    std::vector<uint8_t> expected(w.frame.frame_bytes());
    for (int i = 0; i < cases; ++i) {
        camera_state cam = {coord(rng), coord(rng), height(rng), horizon(rng), heading(rng), 8};
        w.frame.fill_sky(0xEEEEEEEE);
        std::memcpy(expected.data(), w.frame.pixels(), expected.size());
        model_render(cam, expected.data(), w.bpp, ev);
        w.render(vector_renderers[depth], cam);
        EXPECT_TRUE(w.frame.guards_intact());
        if (std::memcmp(expected.data(), w.frame.pixels(), expected.size()) != 0) {
            size_t first = 0;
            while (expected[first] == w.frame.pixels()[first])
                ++first;
            size_t pixel = first / w.bpp;
            ADD_FAILURE() << "depth " << depth << " camera " << cam.x << "," << cam.y << " height "
                          << cam.height << " horizon " << cam.horizon << " heading " << cam.heading
                          << ": first difference at row " << pixel / size.width << " column "
                          << pixel % size.width;
            break;
        }
    }
    return ev;
}

} // namespace

TEST(vector_exact, every_depth_matches_the_scalar_model_on_random_landscapes)
{
    for (int depth = 0; depth < 4; ++depth) {
        SCOPED_TRACE(depth);
        model_events ev = compare_with_model(depth, {320, 240}, 1000 + depth, 12);
        EXPECT_GT(ev.spans, 1000);
    }
}

TEST(vector_exact, widths_not_a_multiple_of_four_match_the_scalar_model)
{
    for (int width : {61, 62, 63, 65}) {
        SCOPED_TRACE(width);
        compare_with_model(width % 4, {width, 90}, 2000 + width, 8);
    }
}

TEST(vector_exact, frames_shorter_or_taller_than_wide_match_the_scalar_model)
{
    model_events low = compare_with_model(3, {256, 40}, 3001, 12);
    model_events narrow = compare_with_model(0, {40, 256}, 3002, 12);
    // both limits were reached: the top row and B rows
    EXPECT_GT(low.width_stops, 0);
    EXPECT_GT(narrow.width_stops, 0);
}

TEST(vector_exact, level_samples_refuse_spans_and_level_rows_continue_them)
{
    // flat land with a level ray: every camera height that is a multiple of 8
    // meets h == z; the sweep also finds spans whose rows land exactly on h
    model_events ev;
    terrain_world w(64, 64, 3);
    w.fill_colours_indexed();
    std::vector<uint8_t> expected(w.frame.frame_bytes());
    for (int level : {0, 50, 100}) {
        w.fill_heights(uint8_t(level));
        for (int height = 8 * level - 40; height <= 8 * level + 40; ++height)
            for (int horizon : {40, 63, 64}) {
                camera_state cam = {256, 264, height, horizon, 480, 8};
                w.frame.fill_sky(0xEEEEEEEE);
                std::memcpy(expected.data(), w.frame.pixels(), expected.size());
                model_render(cam, expected.data(), 4, ev);
                w.render(render_vector_32, cam);
                ASSERT_EQ(std::memcmp(expected.data(), w.frame.pixels(), expected.size()), 0)
                    << "height " << height << " horizon " << horizon;
            }
    }
    EXPECT_GT(ev.level_refusals, 0);
    EXPECT_GT(ev.level_continuations, 0);
}

TEST(vector_exact, far_camera_draws_the_picture_of_its_map_cell)
{
    // beyond 2^22 - 1024 the camera is moved by a multiple of 512 before use;
    // nearer, positions are used as given
    terrain_world w(128, 96, 3);
    std::mt19937 rng(77);
    fill_landscape(w, rng);
    w.fill_colours_indexed();
    const int far = 256 + 512 * 9000;   // 4,608,256
    w.frame.fill_sky(0xEEEEEEEE);
    w.render(render_vector_32, {256, 264, 1500, 230, 300, 8});
    std::vector<uint8_t> near(w.frame.pixels(), w.frame.pixels() + w.frame.frame_bytes());
    w.frame.fill_sky(0xEEEEEEEE);
    w.render(render_vector_32, {far, -far + 8, 1500, 230, 300, 8});
    EXPECT_EQ(std::memcmp(near.data(), w.frame.pixels(), near.size()), 0);
}
