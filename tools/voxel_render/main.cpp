// voxel-render - draws frames of the fly-over without a display.
//
//   voxel-render [--data DIR] [--depth 8|16|16-555|24|32]
//                [--renderer standard|vector] [--frames N] [--raw FILE]
//                [--png FILE] [--time] [--compare] [--help] [--version]
//
// Without --data the data files are looked for as voxel looks for them
// (voxel/display/data_folder.h). Exit status 0; 2 with one line on standard
// error for bad arguments or data files that cannot be found or used; 1 with
// one line when an output cannot be written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include <windows.h>
#endif

#include "tools/voxel_render/voxel_render.h"
#include "voxel/display/data_folder.h"
#include "voxel/render/terrain.h"

namespace {

const char usage[] =
    "usage: voxel-render [--data DIR] [--depth 8|16|16-555|24|32] [--renderer standard|vector]\n"
    "                    [--frames N] [--raw FILE] [--png FILE] [--time] [--compare]\n"
    "                    [--help] [--version]\n"
    "Renders N frames (default 1) of the voxel fly-over without a display.\n"
    "  --data DIR     the folder of heightd2.bmp, heightc2.bmp and clouds.bmp\n"
    "                 (default: found as voxel finds it)\n"
    "  --depth D      bits per pixel; 16 is 5-6-5, 16-555 is 5-5-5 (default 32)\n"
    "  --renderer R   standard (default) or vector\n"
    "  --raw FILE     write the last frame buffer's bytes, top row first\n"
    "  --png FILE     write the last frame as the window would show it\n"
    "  --time         print frames=N median_ms=X min_ms=Y\n"
    "  --compare      print standard_ms=X vector_ms=Y speedup=Z\n"
    "Exit status: 0 done, 1 an output could not be written, 2 a bad argument or\n"
    "data files that cannot be found or used.\n";

int fail(const std::string &message, int status = 2) {
    std::fprintf(stderr, "voxel-render: %s\n", message.c_str());
    release_terrain();
    return status;
}

// The reason of a failed write, from errno when the C library set one.
std::string write_failure(const std::string &path, const char *what) {
    return path + ": cannot write " + what + (errno ? std::string(": ") + std::strerror(errno) : "");
}

// This program's own file, for the data search; empty when unknown.
std::string executable_path() {
#ifdef _WIN32
    char path[4096];
    const DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
#else
    std::error_code ec;
    return std::filesystem::read_symlink("/proc/self/exe", ec).string();
#endif
}

// data_folder from --data, or found beside the program; false with the message.
bool choose_data_folder(const render_options &o, std::string *error) {
    if (!o.data_dir.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(o.data_dir, ec)) {
            *error = o.data_dir + ": cannot enter the data folder";
            return false;
        }
        data_folder = o.data_dir + "/";
        return true;
    }
    data_search search;
    if (find_data_folder(executable_path(), &search))
        return true;
    std::string folders;
    for (const std::string &folder : search.looked_in)
        folders += (folders.empty() ? "" : ", ") + folder;
    *error = "no folder holds heightd2.bmp, heightc2.bmp and clouds.bmp (looked in " + folders +
             "); name one with --data";
    return false;
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
    if (o.help || o.version) {
        std::fputs(o.help ? usage : "voxel-render " DEMOS_VERSION "\n", stdout);
        return 0;
    }
    if (!choose_data_folder(o, &error) || !load_landscape(o, &error))
        return fail(error);
    render(o);
    errno = 0;
    if (!o.raw_path.empty() && !write_raw_frame(o.raw_path, o.depth))
        return fail(write_failure(o.raw_path, "the raw frame"), 1);
    errno = 0;
    if (!o.png_path.empty() &&
        !write_png(o.png_path,
                   decode_surface(present_to_surface(o.depth), o.depth, o.format_555,
                                  display_palette(data_file("heightc2.bmp").c_str())),
                   frame_width, frame_height, false))
        return fail(write_failure(o.png_path, "the picture"), 1);
    release_terrain();
    return 0;
}
