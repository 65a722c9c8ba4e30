// output.cpp - the frame as bytes, and as the picture the
// window would show.
#include <cstdio>

#include "platform/pixel_decode.h"
#include "tools/voxel_render/voxel_render.h"
#include "voxel/display/bitmap.h"
#include "voxel/render/terrain.h"

// The colour table comes through read_bitmap_palette and image_palette, as
// the display takes it.
rgb_palette display_palette(const char *colour_path) {
    rgb_palette palette{};
    read_bitmap_palette(colour_path);
    for (int i = 10; i <= 245; ++i)
        palette[i] = {image_palette[i].red, image_palette[i].green, image_palette[i].blue};
    set_static_colours(palette);
    return palette;
}

bool write_raw_frame(const std::string &path, int depth) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const size_t bytes = size_t(frame_width) * size_t(frame_height) * size_t(bytes_per_pixel(depth));
    const bool written = std::fwrite(frame_buffer, 1, bytes, f) == bytes;
    return std::fclose(f) == 0 && written;
}

std::vector<uint8_t> present_to_surface(int depth) {
    const int bpp = bytes_per_pixel(depth);
    const int pitch = frame_width * bpp;
    std::vector<uint8_t> surface(size_t(pitch) * size_t(frame_height), 0);
    // Each frame row lands two bytes to the right in its surface row.
    copy_rows(surface.data() + 2, pitch, frame_buffer, pitch, unsigned(pitch - 2), unsigned(frame_height));
    return surface;
}

std::vector<uint8_t> decode_surface(const std::vector<uint8_t> &surface, int depth, bool format_555,
                                    const rgb_palette &palette) {
    const int bpp = bytes_per_pixel(depth);
    std::vector<uint8_t> rgb(size_t(frame_width) * size_t(frame_height) * 3);
    for (int row = 0; row < frame_height; ++row)
        decode_row(surface.data() + size_t(row) * frame_width * bpp, frame_width, bpp * 8, format_555, palette,
                   rgb.data() + size_t(row) * frame_width * 3);
    return rgb;
}
