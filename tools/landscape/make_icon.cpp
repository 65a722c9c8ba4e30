// make_icon - the programs' desktop icons, drawn at build time.
// voxel's is drawn from the landscape: the first frame of the fly-over at 32
// bits (river, valley, snowy ridges and sky), a square of it scaled down to
// each size by averaging. fir's is a noisy wave and the same wave through the
// benchmark's filter (icon_fir.cpp). Both have the same rounded outline,
// transparent outside it.
//
//   make_icon DATA_DIR OUT_DIR
//
// writes OUT_DIR/voxel-N.png and OUT_DIR/fir-N.png for N = 256, 128 and 48.
// Status 0, or 1 with one line on standard error.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "tools/landscape/icon_fir.h"
#include "tools/landscape/icon_shape.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/render/terrain.h"

namespace {

// The square taken from the 512 x 512 frame: clear of the left columns the
// two-byte row shift leaves black, with sky above the ridges and the river
// reaching the bottom edge.
constexpr int crop_left = 32, crop_top = 64, crop_size = 448;

// Each output pixel is the mean of the source pixels its square covers,
// partly covered ones weighted by the part inside.
std::vector<uint8_t> scale_square(const std::vector<uint8_t> &rgb, int stride, int size) {
    std::vector<uint8_t> out(size_t(size) * size * 3);
    const double step = double(crop_size) / size;
    for (int oy = 0; oy < size; ++oy)
        for (int ox = 0; ox < size; ++ox) {
            double sum[3] = {0, 0, 0}, area = 0;
            const double y0 = oy * step, y1 = y0 + step, x0 = ox * step, x1 = x0 + step;
            for (int sy = int(y0); sy < y1 && sy < crop_size; ++sy)
                for (int sx = int(x0); sx < x1 && sx < crop_size; ++sx) {
                    const double wy = std::min(y1, sy + 1.0) - std::max(y0, double(sy));
                    const double wx = std::min(x1, sx + 1.0) - std::max(x0, double(sx));
                    const uint8_t *p = &rgb[(size_t(crop_top + sy) * stride + crop_left + sx) * 3];
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c] * wx * wy;
                    area += wx * wy;
                }
            for (int c = 0; c < 3; ++c)
                out[(size_t(oy) * size + ox) * 3 + c] = uint8_t(sum[c] / area + 0.5);
        }
    return out;
}

// ": " and the system's reason for the last failed call, when it gave one.
std::string reason() {
    return errno ? std::string(": ") + std::strerror(errno) : "";
}

int fail(const std::string &message) {
    std::fprintf(stderr, "make_icon: %s\n", message.c_str());
    release_terrain();
    return 1;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icon DATA_DIR OUT_DIR\n");
        return 2;
    }
    const std::filesystem::path out_dir = std::filesystem::absolute(argv[2]);
    render_options o;
    std::string error;
    if (chdir(argv[1]) != 0)
        return fail(std::string(argv[1]) + ": cannot enter the data folder: " + std::strerror(errno));
    if (!load_landscape(o, &error))
        return fail(error);
    fly_frames(*find_render_path("standard"), o.depth, 1, 1, 1);
    const std::vector<uint8_t> rgb =
        decode_surface(present_to_surface(o.depth), o.depth, false, display_palette("heightc2.bmp"));
    for (int size : icon_sizes) {
        const std::string name = std::to_string(size) + ".png";
        const std::string voxel_path = (out_dir / ("voxel-" + name)).string();
        errno = 0;
        if (!write_png(voxel_path, icon_with_outline(scale_square(rgb, frame_width, size), size), size, size, true))
            return fail(voxel_path + ": cannot write the icon" + reason());
        const std::string fir_path = (out_dir / ("fir-" + name)).string();
        errno = 0;
        if (!write_png(fir_path, icon_with_outline(draw_fir_icon(size), size), size, size, true))
            return fail(fir_path + ": cannot write the icon" + reason());
    }
    release_terrain();
    return 0;
}
