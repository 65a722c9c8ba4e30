// bitmap_palette.cpp - the colour table of a bitmap, for the map loaders and
// as the display palette at 8 bits per pixel.
//
// Common tools write info headers of 40, 108 (version 4) or 124 (version 5)
// bytes, and the colour table follows whichever the file has. An 8-bit file
// may carry fewer than 256 entries (the pixel data then starts earlier); the
// entries it lacks count as black, both here and in the loaders.
#include <cstdio>
#include <cstring>

#include "voxel/display/bitmap.h"
#include "voxel/display/bitmap_bytes.h"

palette_entry image_palette[256];

namespace {

constexpr uint32_t file_header_bytes = 14;
constexpr uint32_t info_header_bytes = 40;
constexpr uint32_t table_bytes = 256 * 4;
constexpr uint8_t pc_nocollapse = 4;

// Bytes of colour table that lie between its start and the end of an info
// block of info_size bytes, at most a full table.
uint32_t table_bytes_held(uint32_t table_offset, uint32_t info_size) {
    if (info_size <= table_offset)
        return 0;
    const uint32_t held = (info_size - table_offset) & ~3u;
    return held < table_bytes ? held : table_bytes;
}

}  // namespace

uint32_t colour_table_offset(const uint8_t *info) {
    const uint32_t header_size = get_u32(info);
    switch (header_size) {
    case 52:
    case 56:
    case 108:
    case 124:
        return header_size;
    default:
        return info_header_bytes;
    }
}

void copy_colour_table(const uint8_t *info, uint32_t info_size, uint8_t table[1024]) {
    const uint32_t offset = colour_table_offset(info);
    const uint32_t held = table_bytes_held(offset, info_size);
    std::memset(table, 0, table_bytes);
    std::memcpy(table, info + offset, held);
}

int read_bitmap_palette(const char *path) {
    std::FILE *f = std::fopen(path, "rb");
    if (!f)
        return 0;
    // File header: "BM" and the pixel data offset that ends the info block.
    uint8_t header[file_header_bytes + info_header_bytes] = {};
    const size_t got = std::fread(header, 1, file_header_bytes, f);
    if (got != file_header_bytes || get_u16(header) != 0x4D42) {
        std::fclose(f);
        return 0;
    }
    const uint32_t data_offset = get_u32(header + 10);
    const uint32_t info_size = data_offset > file_header_bytes ? data_offset - file_header_bytes : 0;

    // Info header, then whatever of a longer header lies before the table.
    uint8_t *info = header + file_header_bytes;
    uint8_t table[table_bytes] = {};
    if (std::fread(info, 1, info_header_bytes, f) == info_header_bytes) {
        const uint32_t offset = colour_table_offset(info);
        const uint32_t held = table_bytes_held(offset, info_size);
        if (std::fseek(f, long(offset - info_header_bytes), SEEK_CUR) == 0) {
            // A file that ends inside its table: the entries it lacks are black.
            const size_t read = std::fread(table, 1, held, f);
            std::memset(table + read, 0, table_bytes - read);
        }
    }
    std::fclose(f);

    // Blue, green, red, reserved becomes red, green, blue, PC_NOCOLLAPSE.
    for (int i = 0; i < 256; ++i)
        image_palette[i] = {table[4 * i + 2], table[4 * i + 1], table[4 * i], pc_nocollapse};
    return 1;
}
