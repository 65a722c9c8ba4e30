// bitmap_write.cpp - the one bitmap writer of the tree.
#include "tools/landscape/bitmap_write.h"

#include <cstdio>

namespace {

void put_u16(std::vector<uint8_t> &out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put_u32(std::vector<uint8_t> &out, uint32_t v) {
    put_u16(out, v & 0xFFFF);
    put_u16(out, v >> 16);
}

}  // namespace

bitmap_image make_bitmap(int32_t width, int32_t height, int bits) {
    bitmap_image image;
    image.width = width;
    image.height = height;
    image.bits = bits;
    image.pixels.assign(image.row_bytes() * size_t(height), 0);
    if (bits == 8)
        for (int i = 0; i < 256; ++i)
            set_table_colour(image, i, uint8_t(i), uint8_t(i), uint8_t(i));
    return image;
}

void set_table_colour(bitmap_image &image, int index, uint8_t red, uint8_t green, uint8_t blue) {
    if (image.colour_table.size() < size_t(index + 1) * 4)
        image.colour_table.resize(size_t(index + 1) * 4, 0);
    image.colour_table[4 * index] = blue;
    image.colour_table[4 * index + 1] = green;
    image.colour_table[4 * index + 2] = red;
    image.colour_table[4 * index + 3] = 0;
}

std::vector<uint8_t> encode_bitmap(const bitmap_image &image) {
    const size_t row = image.row_bytes();
    const size_t file_row = (row + 3) & ~size_t(3);
    const uint32_t data_offset = 14 + image.info_header_bytes + uint32_t(image.colour_table.size());
    const uint32_t file_size = data_offset + uint32_t(file_row * size_t(image.height));
    std::vector<uint8_t> out;
    out.reserve(file_size);

    // File header.
    put_u16(out, 0x4D42);
    put_u32(out, file_size);
    put_u32(out, 0);
    put_u32(out, data_offset);

    // Info header; a longer header's extra fields stay zero.
    put_u32(out, image.info_header_bytes);
    put_u32(out, uint32_t(image.width));
    put_u32(out, uint32_t(image.height));
    put_u16(out, 1);
    put_u16(out, uint32_t(image.bits));
    put_u32(out, 0);                                       // uncompressed
    put_u32(out, uint32_t(file_row * size_t(image.height)));
    put_u32(out, 2835);                                    // 72 dots per inch
    put_u32(out, 2835);
    put_u32(out, uint32_t(image.colour_table.size() / 4)); // colours used
    put_u32(out, 0);
    out.resize(14 + image.info_header_bytes, 0);
    out.insert(out.end(), image.colour_table.begin(), image.colour_table.end());

    // Pixel rows, bottom row first, padded to four bytes.
    for (int32_t r = image.height - 1; r >= 0; --r) {
        const uint8_t *src = image.pixels.data() + size_t(r) * row;
        out.insert(out.end(), src, src + row);
        out.resize(out.size() + (file_row - row), 0);
    }
    return out;
}

bool write_bytes_file(const std::string &path, const std::vector<uint8_t> &bytes) {
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

bool write_bitmap_file(const std::string &path, const bitmap_image &image) {
    return write_bytes_file(path, encode_bitmap(image));
}
