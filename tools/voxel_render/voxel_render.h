// voxel_render.h - the pieces of voxel-render, the offline renderer:
// options, loading the landscape with a reason for every refusal, timed
// frames, and the raw and PNG outputs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixel_decode.h"
#include "tools/shared/threads.h"
#include "tools/voxel_render/render_paths.h"
#include "voxel/render/terrain.h"

struct render_options {
    std::string data_dir;       // empty: the folder find_data_folder finds
    int depth = 3;              // pixel_depth: 0 = 8, 1 = 16, 2 = 24, 3 = 32 bits
    bool format_555 = false;    // 16 bits as 5-5-5
    std::string renderer = "standard";   // a render_paths name
    long frames = 1;
    bool frames_given = false;  // --frames was on the command line
    int threads = 1;
    std::string variant;        // the wide renderers' variant; empty: by a trial
    std::string raw_path, png_path;
    bool time = false, compare = false, help = false, version = false;
};

// Fills options from argv; false with a one-line message in *error.
bool parse_render_options(int argc, char **argv, render_options *options, std::string *error);

// Whether dir is a folder; false with "DIR: cannot enter the data folder:
// <the system's reason>".
bool enter_data_folder(const std::string &dir, std::string *error);

// Checks the three files in data_folder for the options' depth and loads
// them with init_terrain; false with a one-line message naming the file
// and the reason.
bool load_landscape(const render_options &options, std::string *error);

// A flight from the start camera over a cleared frame buffer, drawn by one
// path on `threads` threads (flight.cpp says how), a round of frames at a
// time; the frame buffer holds the last frame drawn.
struct flight {
    const render_path *path;
    int depth, threads;
    thread_team *team;
    camera_state camera;   // before the next frame
    long frames;           // drawn so far
    // The clock of fly(): on one thread the processor time the thread used
    // (another process holding the processor does not lengthen it), on
    // several the steady clock.
    double (*clock)();
    // On several threads: where each drawing thread's columns end (thread
    // k's start where thread k - 1's end, thread 0's at 0; threads beyond
    // one a 16 columns have none), the frame each draws in (see flight.cpp),
    // and the processor time each took in the last round.
    std::vector<int> column_ends = {};
    std::vector<uint8_t *> part_frames = {};   // in part_block
    void *part_block = nullptr;
    std::vector<double> part_ms = {};
};
flight start_flight(const render_path &path, int depth, int threads);
// Draws the next `count` frames; gives the milliseconds a frame of the round
// by the flight's clock.
double fly(flight &f, long count);
// Ends the flight's threads.
void end_flight(flight &f);

// Moves the ends of the threads' column ranges (see struct flight) half
// way toward an equal share of the cost for every thread, the cost of each
// range taken as its time `ms` in the last round spread evenly over its
// columns; every end but the last (the frame's width) a multiple of `unit`
// columns.
void balance_columns(std::vector<int> &ends, const std::vector<double> &ms, int unit);
// Gives a flight on several threads new column ranges, each thread's frame
// taking the columns new to it from their owner's.
void set_column_ends(flight &f, const std::vector<int> &ends);

// Rounds of the flight's 64 frames (the camera is back at its start after
// them), for figures that every path gets over the same frames.
constexpr long flight_round = 64;
constexpr long min_measured_frames = 320;
// `frames` frames in rounds of round_frames; each round's milliseconds a frame.
std::vector<double> fly_frames(const render_path &path, int depth, int threads, long frames, long round_frames);
double median_ms(std::vector<double> times);

// The --compare lines: every path's milliseconds a frame on one thread and
// its speed-up over the standard renderer (rounds in turns, medians of the
// rounds' ratios), then the fastest path on options.threads threads with the
// summary.
void print_comparison(const render_options &options);

// The frame buffer as the display would hold it after the presentation copy:
// a surface of the frame's size whose bytes copy_rows did not write are 0.
std::vector<uint8_t> present_to_surface(int depth);
// The 8-bit display palette: the system's static colours in entries 0-9 and
// 246-255, entries 10-245 from the colour table of the bitmap at path.
rgb_palette display_palette(const char *colour_path);
// A surface decoded to red, green, blue rows (three bytes a pixel); the
// palette is used at 8 bits only.
std::vector<uint8_t> decode_surface(const std::vector<uint8_t> &surface, int depth, bool format_555,
                                    const rgb_palette &palette);

bool write_raw_frame(const std::string &path, int depth);
// Rows top first, three bytes a pixel (red, green, blue) or, with `alpha`,
// four (and alpha); false when the file cannot be written.
bool write_png(const std::string &path, const std::vector<uint8_t> &pixels, int width, int height, bool alpha);
