// flight.cpp - frames of the fly-over as the frame driver draws them (sky
// refill, camera step, terrain), on one thread or several, timed.
//
// On several threads each thread draws a range of the frame's columns, in a
// frame of its own, and after each round the calling thread copies every
// thread's columns into the frame buffer, which so holds the flight's frame
// after every round. (Two processors that write neighbouring cache lines of
// one row, or whose prefetchers fetch the other's lines while they write
// their own, pass the lines to and fro: drawn in one frame, interleaved
// columns ran slower on two threads than on one.) A pixel that neither the
// sky nor the terrain covers keeps what the frame before left there, so a
// frame depends on the frames before it; but only within its own columns,
// so a thread that draws its columns through a round leaves exactly the
// bytes one thread leaves. The threads never wait for each other within a
// round: each refills its own columns of the sky and steps its own copy of
// the camera. (Splitting the flight's frames instead would need each thread
// to know the frame buffer as the frames before its first one left it.)
// Near terrain costs less than far terrain, so after each round the ranges
// move toward an equal time for every thread (every round draws the same
// loop of the flight), each thread taking the columns new to it from the
// frame of their owner so far.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/shared/rounds.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/render/sky_size.h"

namespace {

// The ranges' ends fall on whole passes of the widest renderer.
constexpr int range_unit = 16;

size_t frame_bytes(int depth)
{
    return size_t(frame_width) * size_t(frame_height) * size_t(bytes_per_pixel(depth));
}

struct flight_share {
    const render_path &path;
    int depth;
    camera_state start;   // the camera before the round's first frame
    long frames;
    int first, end;       // the thread's columns
    uint8_t *frame;       // the frame it draws in
};

// Copies the columns [first, end) of `rows` rows from one frame to another.
void copy_columns(uint8_t *to, const uint8_t *from, int depth, int first, int end, int rows)
{
    const size_t bpp = size_t(bytes_per_pixel(depth)), row_bytes = size_t(frame_width) * bpp;
    for (size_t row = 0; row < size_t(rows); ++row)
        std::memcpy(to + row * row_bytes + size_t(first) * bpp, from + row * row_bytes + size_t(first) * bpp,
                    size_t(end - first) * bpp);
}

// Copies the cloud image's bytes over the columns [first, end) of the sky
// rows (a whole number of rows, see sky_bytes).
void refill_sky_part(uint8_t *frame, int depth, int first, int end)
{
    const size_t sky = sky_bytes(depth, frame_width, frame_height);
    if (first == 0 && end == frame_width) {
        std::memcpy(frame, cloud_image, sky);
        return;
    }
    const size_t row_bytes = size_t(frame_width) * size_t(bytes_per_pixel(depth));
    copy_columns(frame, cloud_image, depth, first, end, int(sky / row_bytes));
}

void fly_share(const flight_share &f)
{
    camera_state cam = f.start;
    for (long i = 0; i < f.frames; ++i) {
        refill_sky_part(f.frame, f.depth, f.first, f.end);
        step_camera(cam);
        f.path.draw(f.depth, cam, f.frame, f.first, f.end);
    }
}

// Thread k's round on several threads: its frames, and the processor time
// it took. Threads beyond the units of columns have none.
void fly_part(flight &f, long count, int k)
{
    if (size_t(k) >= f.column_ends.size())
        return;
    const int first = k == 0 ? 0 : f.column_ends[size_t(k) - 1], end = f.column_ends[size_t(k)];
    if (first >= end)
        return;
    const double start = thread_clock_ms();
    fly_share({*f.path, f.depth, f.camera, count, first, end, f.part_frames[size_t(k)]});
    f.part_ms[size_t(k)] = thread_clock_ms() - start;
}

// A frame for each of `drawing` threads, each at the frame buffer's place
// in its page (see allocate_frame_buffer), all in one block.
void make_part_frames(flight &f, int drawing)
{
    constexpr uintptr_t page = 4096;
    const size_t stride = (frame_bytes(f.depth) + page - 1) / page * page;
    f.part_block = std::malloc(size_t(drawing) * stride + page);
    if (!f.part_block) {
        std::fprintf(stderr, "voxel-render: not enough memory for the frames of %d threads\n", drawing);
        std::exit(1);
    }
    const uintptr_t start = reinterpret_cast<uintptr_t>(f.part_block);
    uint8_t *first = static_cast<uint8_t *>(f.part_block) + (reinterpret_cast<uintptr_t>(frame_buffer) - start) % page;
    for (size_t k = 0; k < size_t(drawing); ++k) {
        f.part_frames.push_back(first + k * stride);
        std::memset(f.part_frames.back(), 0, frame_bytes(f.depth));
    }
}

// Even ranges to begin with.
std::vector<int> even_ends(int threads)
{
    std::vector<int> ends(static_cast<size_t>(threads));
    for (int k = 0; k < threads; ++k) {
        const int end = int(long(frame_width) * (k + 1) / threads);
        ends[size_t(k)] = k == threads - 1 ? frame_width : end / range_unit * range_unit;
    }
    return ends;
}

}  // namespace

void balance_columns(std::vector<int> &ends, const std::vector<double> &ms, int unit)
{
    const size_t n = ends.size();
    double total = 0.0;
    for (size_t k = 0; k < n; ++k)
        total += ms[k];
    if (n < 2 || !(total > 0.0))
        return;
    const std::vector<int> old = ends;
    const int width = old[n - 1];
    // Walks the old ranges, `cost` the time of those passed, and places each
    // end where the cost reaches its share of the total; the end then moves
    // half way there, so that a round's noise does not make it swing.
    size_t k = 0;
    double cost = 0.0;
    for (size_t j = 0; j + 1 < n; ++j) {
        const double wanted = total * double(j + 1) / double(n);
        while (k + 1 < n && cost + ms[k] < wanted)
            cost += ms[k++];
        const int first = k == 0 ? 0 : old[k - 1], columns = old[k] - first;
        const double into = columns > 0 && ms[k] > 0.0 ? (wanted - cost) / ms[k] * columns : 0.0;
        const int end = int(((first + into) + old[j]) / 2.0 / unit + 0.5) * unit;
        ends[j] = std::clamp(end, j == 0 ? 0 : ends[j - 1], width);
    }
}

void set_column_ends(flight &f, const std::vector<int> &ends)
{
    // each thread takes the columns new to it from the frames of their
    // owners so far
    const std::vector<int> old = f.column_ends;
    for (size_t to = 0; to < f.part_frames.size(); ++to)
        for (size_t from = 0; from < f.part_frames.size(); ++from) {
            const int first = std::max(to == 0 ? 0 : ends[to - 1], from == 0 ? 0 : old[from - 1]);
            const int end = std::min(ends[to], old[from]);
            if (from != to && first < end)
                copy_columns(f.part_frames[to], f.part_frames[from], f.depth, first, end, frame_height);
        }
    f.column_ends = ends;
}

flight start_flight(const render_path &path, int depth, int threads)
{
    std::memset(frame_buffer, 0, frame_bytes(depth));
    flight f{&path, depth, threads, start_team(threads), camera_start, 0,
             threads == 1 ? thread_clock_ms : wall_clock_ms};
    if (threads > 1) {
        // no more threads draw than there are units of columns
        const int drawing = std::max(1, std::min(threads, (frame_width + range_unit - 1) / range_unit));
        f.column_ends = even_ends(drawing);
        f.part_ms.assign(size_t(drawing), 0.0);
        make_part_frames(f, drawing);
    }
    return f;
}

void end_flight(flight &f)
{
    stop_team(f.team);
    f.team = nullptr;
    std::free(f.part_block);
    f.part_block = nullptr;
    f.part_frames.clear();
}

double fly(flight &f, long count)
{
    const double start = f.clock();
    if (f.threads == 1) {
        fly_share({*f.path, f.depth, f.camera, count, 0, frame_width, frame_buffer});
    } else {
        std::fill(f.part_ms.begin(), f.part_ms.end(), 0.0);
        run_team(f.team, [&f, count](int k) { fly_part(f, count, k); });
        for (size_t k = 0; k < f.part_frames.size(); ++k)
            copy_columns(frame_buffer, f.part_frames[k], f.depth, k == 0 ? 0 : f.column_ends[k - 1],
                         f.column_ends[k], frame_height);
    }
    if (f.threads > 1) {
        // within the round's time: the columns that change hands are copied
        std::vector<int> ends = f.column_ends;
        balance_columns(ends, f.part_ms, range_unit);
        set_column_ends(f, ends);
    }
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
