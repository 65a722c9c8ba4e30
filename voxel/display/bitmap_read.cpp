// bitmap_read.cpp - reading a whole uncompressed bitmap, or only its size.
//
// The file header gives the pixel data offset; everything between the file
// header and that offset is the info block (info header and colour table).
// Pixel rows are stored bottom row first, each padded to a multiple of four
// bytes; they are handed back packed and top row first.
//
// A file is the program's only input, so every size it claims is checked
// before anything is allocated: a negative width or height, a pixel data
// offset that leaves no room for the 40-byte info header, a row or pixel
// block that overflows 32-bit arithmetic, or a block beyond the reader's
// limits is refused with -2.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "voxel/display/bitmap.h"
#include "voxel/display/bitmap_bytes.h"

namespace {

constexpr uint32_t file_header_bytes = 14;
constexpr uint32_t info_header_bytes = 40;
constexpr uint16_t bitmap_type = 0x4D42;  // "BM"

// An open file that closes itself on every return path.
struct open_file {
    std::FILE *f;
    explicit open_file(const char *path) : f(std::fopen(path, "rb")) {}
    ~open_file() {
        if (f)
            std::fclose(f);
    }
    bool read(void *dst, size_t n) { return std::fread(dst, 1, n, f) == n; }
};

// Steps 1-3 shared by both readers: open, read the file header, check "BM".
// Returns 0 and the pixel data offset, or the failure code.
int open_and_check_header(open_file &file, const char *path, uint32_t *data_offset) {
    if (!file.f) {
        debug_trace("Failed to open '%s'.", path);
        return -1;
    }
    uint8_t header[file_header_bytes];
    if (!file.read(header, sizeof header)) {
        debug_trace("Failed reading bitmap file header in file '%s'.", path);
        return -2;
    }
    if (get_u16(header) != bitmap_type) {
        debug_trace("'%s' is not a valid bitmap.", path);
        return -3;
    }
    *data_offset = get_u32(header + 10);
    return 0;
}

struct pixel_layout {
    uint32_t row_bytes;       // packed row in the pixel block
    uint32_t file_row_bytes;  // row in the file, padded to four bytes
    uint32_t block_bytes;     // the whole pixel block
    uint32_t rows;
};

// Sizes of the pixel rows and block from the info header, or false when the
// header claims sizes the reader refuses.
bool plan_pixels(const uint8_t *info, const char *path, pixel_layout *out) {
    const int32_t width = get_i32(info + 4);
    const int32_t height = get_i32(info + 8);
    const uint64_t bits = get_u16(info + 14);
    if (width < 0 || height < 0) {
        debug_trace("Bitmap '%s' has a negative width or height.", path);
        return false;
    }
    const uint64_t row_bits = uint64_t(width) * bits;
    const uint64_t block_bits = row_bits * uint64_t(height);
    if (row_bits > UINT32_MAX || block_bits > UINT32_MAX || block_bits / 8 > bitmap_max_pixel_bytes) {
        debug_trace("Bitmap '%s' claims a pixel block too large to read.", path);
        return false;
    }
    out->row_bytes = uint32_t(row_bits / 8);
    out->file_row_bytes = (out->row_bytes + 3u) & ~3u;
    out->block_bytes = uint32_t(block_bits / 8);
    out->rows = uint32_t(height);
    return true;
}

// Step 8: the rows from the file, bottom row first, into the block from its
// last row up. Returns 0 or -5.
int read_rows(open_file &file, const pixel_layout &layout, uint8_t *block) {
    // Rows of no bytes hold nothing to read, however many the header claims.
    if (layout.row_bytes == 0)
        return 0;
    const size_t fill = layout.file_row_bytes - layout.row_bytes;
    for (uint32_t i = 0; i < layout.rows; ++i) {
        // file row i is block row rows - 1 - i; the address is formed only
        // for rows that exist (an empty block has none)
        uint8_t *row = block + size_t(layout.row_bytes) * (layout.rows - 1 - i);
        if (!file.read(row, layout.row_bytes)) {
            debug_trace("Failed to read row %d of %d of the bitmap data.", int(i), int(layout.rows));
            return -5;
        }
        // Fill bytes are skipped; when the file ends inside them, the next
        // row's read is the one that fails.
        if (fill != 0)
            std::fseek(file.f, long(fill), SEEK_CUR);
    }
    return 0;
}

// Steps 4-8 once the header is checked: the info block, then the pixels.
int read_blocks(open_file &file, const char *path, uint32_t data_offset, uint8_t **info,
                uint8_t **pixels, uint32_t *info_size) {
    if (data_offset < file_header_bytes + info_header_bytes ||
        data_offset - file_header_bytes > bitmap_max_info_bytes) {
        debug_trace("Failed reading bitmap info header in file '%s'.", path);
        return -2;
    }
    *info_size = data_offset - file_header_bytes;
    *info = static_cast<uint8_t *>(std::malloc(*info_size));
    if (!*info) {
        debug_trace("Failed to malloc %d bytes for the BitmapInfo structure.", int(*info_size));
        return -4;
    }
    if (!file.read(*info, *info_size)) {
        debug_trace("Failed reading bitmap info header in file '%s'.", path);
        return -2;
    }
    if (get_u32(*info + 16) != 0) {
        debug_trace("Bitmap is compressed.");
        return -2;
    }
    pixel_layout layout;
    if (!plan_pixels(*info, path, &layout))
        return -2;
    // An empty block is still a block of its own, so that success always
    // hands back two pointers the caller can free.
    *pixels = static_cast<uint8_t *>(std::malloc(layout.block_bytes ? layout.block_bytes : 1));
    if (!*pixels) {
        debug_trace("Failed to malloc %d bytes for the data.", int(layout.block_bytes));
        return -4;
    }
    return read_rows(file, layout, *pixels);
}

}  // namespace

int read_bitmap_blocks(const char *path, uint8_t **info, uint8_t **pixels, uint32_t *info_size) {
    uint8_t *info_block = nullptr;
    uint8_t *pixel_block = nullptr;
    uint32_t size = 0;
    open_file file(path);
    uint32_t data_offset = 0;
    int result = open_and_check_header(file, path, &data_offset);
    if (result == 0)
        result = read_blocks(file, path, data_offset, &info_block, &pixel_block, &size);
    if (result != 0) {
        std::free(info_block);
        std::free(pixel_block);
        info_block = pixel_block = nullptr;
        size = 0;
    }
    *info = info_block;
    *pixels = pixel_block;
    if (info_size)
        *info_size = size;
    return result;
}

int read_bitmap_file(const char *path, uint8_t **info, uint8_t **pixels) {
    return read_bitmap_blocks(path, info, pixels, nullptr);
}

int read_bitmap_size(const char *path, int32_t *width, int32_t *height) {
    open_file file(path);
    uint32_t data_offset = 0;
    const int result = open_and_check_header(file, path, &data_offset);
    if (result != 0)
        return result;
    uint8_t header[info_header_bytes];
    if (!file.read(header, sizeof header)) {
        debug_trace("Failed reading bitmap info header in file '%s'.", path);
        return -2;
    }
    // A negative size cannot size a window or a frame.
    if (get_i32(header + 4) < 0 || get_i32(header + 8) < 0) {
        debug_trace("Bitmap '%s' has a negative width or height.", path);
        return -2;
    }
    *width = get_i32(header + 4);
    *height = get_i32(header + 8);
    return 0;
}
