// voxel-render - draws frames of the fly-over without a display.
//
//   voxel-render [--data DIR] [--depth 8|16|16-555|24|32]
//                [--renderer standard|vector|avx2|avx512] [--frames N]
//                [--threads N|all] [--variant scalar-reads|gathers]
//                [--raw FILE] [--png FILE] [--time] [--compare] [--help] [--version]
//
// Without --data the data files are looked for as voxel looks for them
// (voxel/display/data_folder.h). Without an output option (--raw, --png,
// --time, --compare) it says what it drew. Exit status 0; 2 with one line on
// standard error for bad arguments, a renderer this processor cannot run, or
// a data folder or data files that cannot be found or used; 1 with one line
// when an output cannot be written. Each line names the reason.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include <windows.h>
#endif

#include "tools/shared/cpu_support.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/display/data_folder.h"
#include "voxel/render/terrain.h"

namespace {

const char usage[] =
    "usage: voxel-render [--data DIR] [--depth 8|16|16-555|24|32]\n"
    "                    [--renderer standard|vector|avx2|avx512] [--frames N] [--threads N|all]\n"
    "                    [--variant scalar-reads|gathers] [--raw FILE] [--png FILE] [--time]\n"
    "                    [--compare] [--help] [--version]\n"
    "Renders N frames (default 1) of the voxel fly-over without a display.\n"
    "  --data DIR     the folder of heightd2.bmp, heightc2.bmp and clouds.bmp\n"
    "                 (default: found as voxel finds it)\n"
    "  --depth D      bits per pixel; 16 is 5-6-5, 16-555 is 5-5-5 (default 32)\n"
    "  --renderer R   standard (default), vector (4 columns at once), avx2 (8) or\n"
    "                 avx512 (16); all draw the vector renderer's picture but standard\n"
    "  --threads N    draw each frame on N threads, or on all processors (default 1)\n"
    "  --variant V    how avx2 and avx512 read the maps: scalar-reads (a load an\n"
    "                 element) or gathers; same bytes (default: the faster here, by\n"
    "                 a short trial at start-up)\n"
    "  --raw FILE     write the last frame buffer's bytes, top row first\n"
    "  --png FILE     write the last frame as the window would show it\n"
    "  --time         print frames=N median_ms=X min_ms=Y\n"
    "  --compare      print each renderer's ms a frame and speed-up over the standard\n"
    "                 one, then the fastest on N threads: the renderers take turns\n"
    "                 in rounds of 64 frames, each speed-up the median of the rounds'\n"
    "                 (without --frames: whole rounds for at least a second each)\n"
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
        if (!enter_data_folder(o.data_dir, error))
            return false;
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

bool writes_or_times(const render_options &o) {
    return o.time || o.compare || !o.raw_path.empty() || !o.png_path.empty();
}

// What a run without an output option did, so that it does not end in silence.
void say_what_was_done(const render_options &o) {
    const char *depths[] = {"8", o.format_555 ? "16 (5-5-5)" : "16", "24", "32"};
    std::printf("voxel-render: drew %ld frame%s of %d x %d at %s bits with the %s renderer on %d thread%s and kept "
                "nothing (--raw FILE or --png FILE writes the last frame, --time or --compare times them)\n",
                o.frames, o.frames == 1 ? "" : "s", frame_width, frame_height, depths[o.depth], o.renderer.c_str(),
                o.threads, o.threads == 1 ? "" : "s");
}

// The chosen renderer's frames, from the start of the flight (after the
// comparison, whose frames are not kept). On one thread --time takes each
// frame's time, on more each round's.
void render(const render_options &o, const render_path &path) {
    if (o.compare)
        print_comparison(o);
    if (o.compare && !o.time && o.raw_path.empty() && o.png_path.empty())
        return;
    const std::vector<double> times = fly_frames(path, o.depth, o.threads, o.frames, o.threads == 1 ? 1 : flight_round);
    if (o.time && o.threads == 1)
        std::printf("frames=%ld median_ms=%.3f min_ms=%.3f\n", o.frames, median_ms(times), min_ms(times));
    else if (o.time)
        std::printf("frames=%ld threads=%d median_ms=%.3f min_ms=%.3f\n", o.frames, o.threads, median_ms(times),
                    min_ms(times));
    if (!writes_or_times(o))
        say_what_was_done(o);
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
    const render_path &path = *find_render_path(o.renderer);
    if (!cpu_supports(path.needs))
        return fail("--renderer " + o.renderer + ": not supported here (" + cpu_missing(path.needs) + ")");
    if (!choose_data_folder(o, &error) || !load_landscape(o, &error))
        return fail(error);
    if (o.variant.empty())
        choose_render_variants(o.depth);
    else
        force_render_variant(o.variant);
    render(o, path);
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
