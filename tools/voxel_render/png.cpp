// png.cpp - pictures as PNG files, through libpng: voxel-render's decoded
// frames (RGB) and the desktop icons (RGBA).
#include <csetjmp>
#include <cstdio>
#include <png.h>

#include "tools/voxel_render/voxel_render.h"

bool write_png(const std::string &path, const std::vector<uint8_t> &pixels, int width, int height, bool alpha) {
    const size_t channels = alpha ? 4 : 3;
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    // libpng reports its failures by jumping back here.
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        std::fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int row = 0; row < height; ++row)
        png_write_row(png, pixels.data() + size_t(row) * size_t(width) * channels);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(f) == 0;
}
