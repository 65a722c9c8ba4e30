// bitmap_write.h - writing uncompressed Windows bitmap files.
//
//   bitmap_image img = make_bitmap(512, 512, 8);   // grey-ramp colour table
//   img.pixels[row * img.row_bytes() + x] = ...;   // top row first, packed
//   write_bitmap_file("heightd2.bmp", img);         // true on success
//
// The writer stores rows bottom row first, each padded to four bytes, with a
// 40-byte info header (or a longer one filled with zeros past the first 40
// bytes), the colour table directly after it, and the pixel data offset right
// after the table. encode_bitmap gives the file's bytes without writing them,
// for tests that patch a valid file into a broken one.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct bitmap_image {
    int32_t width = 0;
    int32_t height = 0;
    int bits = 8;                       // 8, 24 or 32
    std::vector<uint8_t> colour_table;  // entries blue, green, red, reserved
    std::vector<uint8_t> pixels;        // packed rows, top row first
    uint32_t info_header_bytes = 40;    // 40, 108 or 124

    size_t row_bytes() const { return size_t(width) * size_t(bits / 8); }
};

// An image of the given size, all pixels 0; at 8 bits with a 256-entry grey
// ramp as its colour table.
bitmap_image make_bitmap(int32_t width, int32_t height, int bits);

// Sets colour table entry `index` from red, green and blue.
void set_table_colour(bitmap_image &image, int index, uint8_t red, uint8_t green, uint8_t blue);

std::vector<uint8_t> encode_bitmap(const bitmap_image &image);
bool write_bitmap_file(const std::string &path, const bitmap_image &image);
bool write_bytes_file(const std::string &path, const std::vector<uint8_t> &bytes);
