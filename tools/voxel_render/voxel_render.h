// voxel_render.h - the pieces of voxel-render, the offline renderer:
// options, loading the landscape with a reason for every refusal, timed
// frames, and the raw and PNG outputs.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixel_decode.h"

struct render_options {
    std::string data_dir;       // empty: the folder find_data_folder finds
    int depth = 3;              // pixel_depth: 0 = 8, 1 = 16, 2 = 24, 3 = 32 bits
    bool format_555 = false;    // 16 bits as 5-5-5
    bool vector = false;        // the vector renderer instead of the standard one
    long frames = 1;
    std::string raw_path, png_path;
    bool time = false, compare = false, help = false, version = false;
};

// Fills options from argv; false with a one-line message in *error.
bool parse_render_options(int argc, char **argv, render_options *options, std::string *error);

// Checks the three files in data_folder for the options' depth and loads
// them with init_terrain; false with a one-line message naming the file
// and the reason.
bool load_landscape(const render_options &options, std::string *error);

// Runs `frames` frames of begin_frame and the renderer from the start camera;
// gives each frame's milliseconds.
std::vector<double> run_frames(bool vector, int depth, long frames);
double median_ms(std::vector<double> times);

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
