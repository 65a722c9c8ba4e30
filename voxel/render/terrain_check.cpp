// terrain_check.cpp - each landscape file read on its own, so that a refusal
// can name the file and the reason.
#include "voxel/render/terrain_check.h"

#include <cstdlib>
#include <cstring>

#include "voxel/display/bitmap.h"
#include "voxel/display/bitmap_bytes.h"
#include "voxel/display/data_folder.h"
#include "voxel/render/sky_size.h"
#include "voxel/render/terrain.h"

namespace {

constexpr size_t map_samples = size_t(map_size) * map_size;

struct bitmap_facts {
    int32_t width, height;
    unsigned bits;
};

bool read_facts(const std::string &path, bitmap_facts *facts, std::string *reason) {
    uint8_t *info = nullptr, *pixels = nullptr;
    const int code = read_bitmap_file(path.c_str(), &info, &pixels);
    if (code != 0) {
        *reason = bitmap_failure_reason(code);
        return false;
    }
    *facts = {get_i32(info + 4), get_i32(info + 8), get_u16(info + 14)};
    std::free(info);
    std::free(pixels);
    return true;
}

// Bit counts the frame's depth can take a colour bitmap in.
bool colour_bits_supported(int depth, unsigned bits) {
    switch (depth) {
    case 0: return bits == 8;
    case 1: return bits == 8 || bits == 24;
    case 2: return bits == 8;
    default: return bits == 8 || bits == 24 || bits == 32;
    }
}

std::string bits_reason(int depth, unsigned bits) {
    const char *wanted[] = {"8", "8 or 24", "8", "8, 24 or 32"};
    return "has " + std::to_string(bits) + " bits per pixel; at this depth it must have " + wanted[depth];
}

size_t samples(const bitmap_facts &f) { return size_t(f.width) * size_t(f.height); }

// The checks of one file; an empty result when it is usable.
std::string check_file(const char *name, int depth, const bitmap_facts &height_map) {
    bitmap_facts f;
    std::string reason;
    if (!read_facts(data_file(name), &f, &reason))
        return reason;
    const bool is_height = std::strcmp(name, "heightd2.bmp") == 0;
    if (is_height) {
        if (size_t(f.width) * size_t(f.height) * f.bits / 8 < map_samples)
            return "the height map needs at least 512 x 512 samples";
        return "";
    }
    if (!colour_bits_supported(depth, f.bits))
        return bits_reason(depth, f.bits);
    const bool is_sky = std::strcmp(name, "clouds.bmp") == 0;
    if (!is_sky && samples(f) < map_samples)
        return "the colour map needs at least 512 x 512 pixels";
    if (is_sky && samples(f) * size_t(depth + 1) < sky_bytes(depth, height_map.width, height_map.height))
        return "the sky image is too small to fill the sky of a " + std::to_string(height_map.width) + " x " +
               std::to_string(height_map.height) + " frame at this depth";
    return "";
}

}  // namespace

std::string bitmap_failure_reason(int code) {
    switch (code) {
    case -1: return "cannot open the file";
    case -2:
        if (std::strcmp(bitmap_last_trace, "Bitmap is compressed.") == 0)
            return "compressed (RLE) bitmaps are not supported; convert with -compress None";
        // a file shorter than the 14-byte file header is no bitmap at all (a
        // text file, say); one that ends inside the info header is a bitmap
        // cut short
        if (std::strncmp(bitmap_last_trace, "Failed reading bitmap file header", 33) == 0)
            return "not a bitmap (the file is shorter than a bitmap header)";
        if (std::strncmp(bitmap_last_trace, "Failed reading", 14) == 0)
            return std::string("the file is cut short: ") + bitmap_last_trace;
        return std::string("refused: ") + bitmap_last_trace;
    case -3: return "not a bitmap (the file does not begin with \"BM\")";
    case -4: return "not enough memory to read it";
    default: return std::string("the file is cut short: ") + bitmap_last_trace;
    }
}

bool find_landscape_problem(int depth, std::string *file, std::string *reason) {
    bitmap_facts height_map{};
    for (const char *name : data_file_names) {
        *reason = check_file(name, depth, height_map);
        if (!reason->empty()) {
            *file = data_file(name);
            return true;
        }
        if (name == data_file_names[0])
            read_facts(data_file(name), &height_map, reason);
    }
    reason->clear();
    return false;
}
