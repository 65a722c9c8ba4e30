// terrain_init.cpp - loading the three bitmaps (from data_folder) into the
// terrain state, allocating the frame buffer, and releasing all of it again.
//
// Beyond a failed read, init_terrain also fails (-1) on data the renderers
// could not use safely: a height or colour map with fewer than 512 x 512
// samples, a cloud image shorter than the sky copy, a frame without rows or
// narrower than two bytes per row (the presentation copy drops two bytes of
// every row), or a frame buffer that cannot be allocated.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "voxel/display/bitmap.h"
#include "voxel/display/data_folder.h"
#include "voxel/display/pixel_convert.h"
#include "voxel/render/sky_size.h"
#include "voxel/render/terrain.h"

constexpr size_t map_samples = size_t(map_size) * map_size;

// Fields of the info block that read_bitmap_file hands out.
static int32_t info_int32(const uint8_t *info, int offset)
{
    int32_t v;
    std::memcpy(&v, info + offset, sizeof v);
    return v;
}

static uint16_t info_uint16(const uint8_t *info, int offset)
{
    uint16_t v;
    std::memcpy(&v, info + offset, sizeof v);
    return v;
}

// Size of the pixel block, computed as the reader computes it (unsigned
// 32-bit product, then the division), so it is never more than was allocated.
static size_t pixel_block_bytes(const uint8_t *info)
{
    const uint32_t width = uint32_t(info_int32(info, 4));
    const uint32_t height = uint32_t(info_int32(info, 8));
    return size_t(width * height * info_uint16(info, 14) / 8);
}

// Reads a bitmap's pixel block as it is; gives its size in bytes and the
// image size, and releases the info block.
static int read_pixel_block(const char *path, uint8_t **block, size_t *bytes,
                            int32_t *width, int32_t *height)
{
    uint8_t *info = nullptr;
    if (read_bitmap_file(path, &info, block) != 0)
        return -1;
    *bytes = pixel_block_bytes(info);
    *width = info_int32(info, 4);
    *height = info_int32(info, 8);
    std::free(info);
    return 0;
}

// Reads a colour bitmap in the frame's pixel format: the palette indexes as
// they are at 8 bits, a converted map at 16, 24 and 32 bits.
static int load_in_frame_format(const char *path, uint8_t **map, size_t *bytes)
{
    int32_t width = 0, height = 0;
    int result;
    switch (pixel_depth) {
    case 0: return read_pixel_block(path, map, bytes, &width, &height);
    case 1: result = load_map_16(path, map, &width, &height); break;
    case 2: result = load_map_24(path, map, &width, &height); break;
    default: result = load_map_32(path, map, &width, &height); break;
    }
    if (result != 0)
        return -1;
    *bytes = width > 0 && height > 0
                 ? size_t(width) * size_t(height) * size_t(bytes_per_pixel(pixel_depth))
                 : 0;
    return 0;
}

// The height map sets the frame size; its pixel block is kept as it is.
static int load_height_map()
{
    size_t bytes = 0;
    int32_t width = 0, height = 0;
    if (read_pixel_block(data_file("heightd2.bmp").c_str(), &height_map, &bytes, &width, &height) != 0)
        return -1;
    frame_width = width;
    frame_height = height;
    if (bytes < map_samples)
        return -1;
    // a frame needs a row, and rows long enough to lose two bytes in the copy
    if (height < 1 || width < 1 || size_t(width) * bytes_per_pixel(pixel_depth) < 2)
        return -1;
    return 0;
}

static int load_colour_map()
{
    size_t bytes = 0;
    if (load_in_frame_format(data_file("heightc2.bmp").c_str(), &colour_map, &bytes) != 0)
        return -1;
    return bytes < map_samples * bytes_per_pixel(pixel_depth) ? -1 : 0;
}

static int load_cloud_image()
{
    size_t bytes = 0;
    if (load_in_frame_format(data_file("clouds.bmp").c_str(), &cloud_image, &bytes) != 0)
        return -1;
    return bytes < sky_bytes(pixel_depth, frame_width, frame_height) ? -1 : 0;
}

// The block that holds the frame buffer; frame_buffer lies inside it.
static void *frame_buffer_block;

// Where in its page the frame buffer starts: half a page past the cloud
// image's place in its page, on a cache line. Large blocks all start at the
// same place in their pages, and a block copy whose source and destination
// lie a whole number of pages apart (plus a few bytes) stalls on every load
// that seems to hit a store still under way (4 KiB aliasing): the sky refill
// took over ten times as long that way.
static uintptr_t frame_page_offset()
{
    constexpr uintptr_t page = 4096, line = 64;
    return (reinterpret_cast<uintptr_t>(cloud_image) + page / 2) % page / line * line;
}

// The frame buffer is placed a page's worth of bytes into a larger block, at
// frame_page_offset (so it stays 16-byte aligned). It starts cleared, so no
// pixel that neither sky nor terrain reached shows leftover memory.
static int allocate_frame_buffer()
{
    constexpr uintptr_t page = 4096;
    const size_t bytes = size_t(frame_width) * size_t(frame_height) * bytes_per_pixel(pixel_depth);
    frame_buffer_block = std::malloc(bytes + page);
    if (!frame_buffer_block)
        return -1;
    const uintptr_t start = reinterpret_cast<uintptr_t>(frame_buffer_block);
    frame_buffer = static_cast<uint8_t *>(frame_buffer_block) + (frame_page_offset() - start) % page;
    std::memset(frame_buffer, 0, bytes);
    return 0;
}

// Loads the world for the current pixel_depth. A re-run (after a display mode
// change) first releases everything the previous run loaded; the camera keeps
// its position. On failure what was loaded so far stays in the terrain state
// until release_terrain.
int init_terrain()
{
    release_terrain();
    if (bytes_per_pixel(pixel_depth) == 0)
        return -1;
    init_angle_tables();
    if (load_height_map() != 0 || load_colour_map() != 0 || load_cloud_image() != 0)
        return -1;
    if (allocate_frame_buffer() != 0)
        return -1;
    select_renderer((vector_phase ? 6 : 2) + pixel_depth);
    return 0;
}

void release_terrain()
{
    std::free(height_map);
    std::free(colour_map);
    std::free(cloud_image);
    std::free(frame_buffer_block);
    frame_buffer_block = nullptr;
    height_map = nullptr;
    colour_map = nullptr;
    cloud_image = nullptr;
    frame_buffer = nullptr;
}
