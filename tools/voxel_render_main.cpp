// voxel-render - draws frames of the fly-over without a display.
//
//   voxel-render [--data DIR] [--depth 8|16|16-555|24|32]
//                [--renderer standard|vector] [--frames N] [--raw FILE]
//                [--png FILE] [--time] [--compare]
//
// Exit status 0, or 2 with one line on standard error for bad arguments,
// data files that cannot be used, or outputs that cannot be written.
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "tools/voxel_render.h"
#include "voxel/render/terrain.h"

namespace {

const char usage[] =
    "usage: voxel-render [--data DIR] [--depth 8|16|16-555|24|32] [--renderer standard|vector]\n"
    "                    [--frames N] [--raw FILE] [--png FILE] [--time] [--compare]\n";

int fail(const std::string &message) {
    std::fprintf(stderr, "voxel-render: %s\n", message.c_str());
    release_terrain();
    return 2;
}

// Output paths stay relative to where the program was started, not to DIR.
std::string from_start_dir(const std::string &path) {
    return path.empty() ? path : std::filesystem::absolute(path).string();
}

double min_ms(const std::vector<double> &times) {
    double m = times.empty() ? 0.0 : times[0];
    for (double t : times)
        m = t < m ? t : m;
    return m;
}

// The frames: with --compare the other renderer first, so that the frame
// left for the outputs is always the chosen renderer's.
void render(const render_options &o) {
    if (o.compare) {
        const double other = median_ms(run_frames(!o.vector, o.depth, o.frames));
        const double chosen = median_ms(run_frames(o.vector, o.depth, o.frames));
        const double standard = o.vector ? other : chosen, vector = o.vector ? chosen : other;
        std::printf("standard_ms=%.3f vector_ms=%.3f speedup=%.2f\n", standard, vector,
                    vector > 0 ? standard / vector : 0.0);
        if (!o.time)
            return;
    }
    const std::vector<double> times = run_frames(o.vector, o.depth, o.frames);
    if (o.time)
        std::printf("frames=%ld median_ms=%.3f min_ms=%.3f\n", o.frames, median_ms(times), min_ms(times));
}

}  // namespace

int main(int argc, char **argv) {
    render_options o;
    std::string error;
    if (!parse_render_options(argc, argv, &o, &error))
        return fail(error);
    if (o.help) {
        std::fputs(usage, stdout);
        return 0;
    }
    const std::string raw = from_start_dir(o.raw_path), png = from_start_dir(o.png_path);
    if (chdir(o.data_dir.c_str()) != 0)
        return fail(o.data_dir + ": cannot enter the data folder");
    if (!load_landscape(o, &error))
        return fail(error);
    render(o);
    if (!raw.empty() && !write_raw_frame(raw, o.depth))
        return fail(o.raw_path + ": cannot write the raw frame");
    if (!png.empty() &&
        !write_png_rgb(png,
                       decode_surface(present_to_surface(o.depth), o.depth, o.format_555,
                                      display_palette("heightc2.bmp")),
                       frame_width, frame_height))
        return fail(o.png_path + ": cannot write the picture");
    release_terrain();
    return 0;
}
