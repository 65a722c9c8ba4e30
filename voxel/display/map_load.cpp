// map_load.cpp - colour maps and sky images in the frame's pixel format.
//
// Each loader reads a bitmap, allocates a map of width x height pixels of
// its depth and converts the pixels into it. The map belongs to the caller.
// On every failure whatever was allocated is released and the map is null.
//
// A file whose bit count the loader cannot convert (not 8 or 24 bits, or for
// the 32-bit map not 8, 24 or 32) is refused with -1 rather than handed out
// as a map of unwritten memory. 8-bit files are coloured through their own
// colour table, whatever the size of their info header; entries the table
// does not hold are black.
#include <cstdlib>

#include "voxel/display/bitmap.h"
#include "voxel/display/bitmap_bytes.h"
#include "voxel/display/pixel_convert.h"

namespace {

struct loaded_bitmap {
    uint8_t *info = nullptr;
    uint8_t *pixels = nullptr;
    uint32_t info_size = 0;
    int32_t width = 0, height = 0;
    unsigned bits = 0;
    ~loaded_bitmap() {
        std::free(info);
        std::free(pixels);
    }
};

// Step 1 and 2 of every loader: read the file and hand out its size.
bool read_source(const char *path, loaded_bitmap &b, int32_t *width, int32_t *height) {
    if (read_bitmap_blocks(path, &b.info, &b.pixels, &b.info_size) != 0)
        return false;
    b.width = get_i32(b.info + 4);
    b.height = get_i32(b.info + 8);
    b.bits = get_u16(b.info + 14);
    *width = b.width;
    *height = b.height;
    return true;
}

// A map of the bitmap's size at bytes_per_pixel, or null. A map of 3-byte
// samples gets one spare byte after its last sample, so that the vector
// renderer can read any sample as one 32-bit word.
uint8_t *allocate_map(const loaded_bitmap &b, int bytes_per_pixel) {
    const size_t bytes = size_t(b.width) * size_t(b.height) * size_t(bytes_per_pixel);
    const size_t spare = bytes_per_pixel == 3 ? 1 : 0;
    uint8_t *map = static_cast<uint8_t *>(std::malloc(bytes + spare ? bytes + spare : 1));
    if (map && spare)
        map[bytes] = 0;
    return map;
}

using table_converter = void (*)(uint8_t *, int, const uint8_t *, int, int, int, const uint8_t *);
using rgb_converter = void (*)(uint8_t *, int, const uint8_t *, int, int, int);

// The shared body: allocate the map and convert 8-bit pixels through the
// colour table, or 24-bit pixels directly (rgb null: 24-bit refused).
int convert_into_map(const loaded_bitmap &b, int bytes_per_pixel, table_converter from_8,
                     rgb_converter from_24, uint8_t **map) {
    if (b.bits != 8 && !(b.bits == 24 && from_24))
        return -1;
    uint8_t *out = allocate_map(b, bytes_per_pixel);
    if (!out)
        return -1;
    if (b.width > 0 && b.height > 0) {
        const int dst_step = b.width * bytes_per_pixel;
        if (b.bits == 8) {
            uint8_t table[1024];
            copy_colour_table(b.info, b.info_size, table);
            from_8(out, dst_step, b.pixels, b.width, b.width, b.height, table);
        } else {
            from_24(out, dst_step, b.pixels, b.width * 3, b.width, b.height);
        }
    }
    *map = out;
    return 0;
}

}  // namespace

int load_map_16(const char *path, uint8_t **map, int32_t *width, int32_t *height) {
    *map = nullptr;
    loaded_bitmap b;
    if (!read_source(path, b, width, height))
        return -1;
    return convert_into_map(b, 2, convert_8_to_16, convert_24_to_16, map);
}

int load_map_24(const char *path, uint8_t **map, int32_t *width, int32_t *height) {
    *map = nullptr;
    loaded_bitmap b;
    if (!read_source(path, b, width, height))
        return -1;
    return convert_into_map(b, 3, convert_8_to_24, nullptr, map);
}

int load_map_32(const char *path, uint8_t **map, int32_t *width, int32_t *height) {
    *map = nullptr;
    loaded_bitmap b;
    if (!read_source(path, b, width, height))
        return -1;
    // A 32-bit file's pixel block is already the map: handed over unchanged.
    if (b.bits == 32) {
        *map = b.pixels;
        b.pixels = nullptr;
        return 0;
    }
    return convert_into_map(b, 4, convert_8_to_32, convert_24_to_32, map);
}
