// Row converters' pixel values and the three map loaders' blocks.
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "tools/landscape/bitmap_write.h"
#include "tools/scratch_dir.h"
#include "voxel/display/pixel_convert.h"

namespace {

// A colour table whose entry 1 is blue 0x10, green 0x20, red 0x30.
std::vector<uint8_t> test_table() {
    std::vector<uint8_t> table(1024, 0);
    table[4] = 0x10;
    table[5] = 0x20;
    table[6] = 0x30;
    return table;
}

uint32_t word32(const uint8_t *p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }
unsigned word16(const uint8_t *p) { return p[0] | (p[1] << 8); }

struct map_block {
    uint8_t *map = nullptr;
    ~map_block() { std::free(map); }
};

TEST(pixel_convert, colour_table_entry_in_every_format) {
    const std::vector<uint8_t> table = test_table();
    const uint8_t src[1] = {1};
    uint8_t out[4] = {};
    pixel_format_555 = 0;
    convert_8_to_16(out, 2, src, 1, 1, 1, table.data());
    EXPECT_EQ(word16(out), 0x3102u);
    pixel_format_555 = 1;
    convert_8_to_16(out, 2, src, 1, 1, 1, table.data());
    EXPECT_EQ(word16(out), 0x1882u);
    pixel_format_555 = 0;
    convert_8_to_24(out, 3, src, 1, 1, 1, table.data());
    EXPECT_EQ(out[0], 0x30);
    EXPECT_EQ(out[1], 0x10);
    EXPECT_EQ(out[2], 0x20);
    convert_8_to_32(out, 4, src, 1, 1, 1, table.data());
    EXPECT_EQ(word32(out), 0x2010FF30u);
}

TEST(pixel_convert, rgb_source_pixel_in_every_format) {
    const uint8_t src[3] = {0x10, 0x20, 0x30};
    uint8_t out[4] = {};
    pixel_format_555 = 0;
    convert_24_to_16(out, 2, src, 3, 1, 1);
    EXPECT_EQ(word16(out), 0x1106u);
    pixel_format_555 = 1;
    convert_24_to_16(out, 2, src, 3, 1, 1);
    EXPECT_EQ(word16(out), 0x0886u);
    pixel_format_555 = 0;
    convert_24_to_32(out, 4, src, 3, 1, 1);
    EXPECT_EQ(word32(out), 0xFF102030u);
}

TEST(pixel_convert, rows_advance_by_their_own_steps_and_gaps_stay_untouched) {
    const std::vector<uint8_t> table = test_table();
    // Two rows of two pixels; source rows 3 bytes apart, destination 10.
    const uint8_t src[6] = {1, 0, 9, 0, 1, 9};
    uint8_t out[20];
    std::memset(out, 0xAA, sizeof out);
    convert_8_to_32(out, 10, src, 3, 2, 2, table.data());
    EXPECT_EQ(word32(out), 0x2010FF30u);
    EXPECT_EQ(word32(out + 4), 0x0000FF00u);
    EXPECT_EQ(out[8], 0xAA);
    EXPECT_EQ(word32(out + 10), 0x0000FF00u);
    EXPECT_EQ(word32(out + 14), 0x2010FF30u);
    EXPECT_EQ(out[18], 0xAA);
}

// A 512 x 512 8-bit map whose top row is colour 1 and every other row 0.
bitmap_image top_row_marked() {
    bitmap_image img = make_bitmap(512, 512, 8);
    set_table_colour(img, 1, 0x30, 0x20, 0x10);
    std::memset(img.pixels.data(), 1, 512);
    return img;
}

TEST(map_loaders, full_size_8bit_map_converts_top_row_first_at_every_depth) {
    scratch_dir dir;
    write_bitmap_file(dir.file("c.bmp"), top_row_marked());
    const std::string p = dir.file("c.bmp");
    int32_t w = 0, h = 0;
    pixel_format_555 = 0;
    map_block m16, m24, m32;
    ASSERT_EQ(load_map_16(p.c_str(), &m16.map, &w, &h), 0);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 512);
    EXPECT_EQ(word16(m16.map + 2 * 511), 0x3102u);
    EXPECT_EQ(word16(m16.map + 2 * 512), 0x0000u);
    EXPECT_EQ(word16(m16.map + 524288 - 2), 0x0000u);
    ASSERT_EQ(load_map_24(p.c_str(), &m24.map, &w, &h), 0);
    EXPECT_EQ(m24.map[3 * 511], 0x30);
    EXPECT_EQ(m24.map[786432 - 3], 0);
    ASSERT_EQ(load_map_32(p.c_str(), &m32.map, &w, &h), 0);
    EXPECT_EQ(word32(m32.map), 0x2010FF30u);
    EXPECT_EQ(word32(m32.map + 1048576 - 4), 0x0000FF00u);
}

TEST(map_loaders, 24bit_file_is_refused_by_the_24bit_loader_only) {
    scratch_dir dir;
    bitmap_image img = make_bitmap(2, 2, 24);
    img.pixels = {0x10, 0x20, 0x30, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    write_bitmap_file(dir.file("t.bmp"), img);
    const std::string p = dir.file("t.bmp");
    int32_t w = 0, h = 0;
    map_block m16, m32;
    // the output starts as a junk pointer, so the refusal must null it
    uint8_t *m24 = reinterpret_cast<uint8_t *>(&w);
    EXPECT_EQ(load_map_24(p.c_str(), &m24, &w, &h), -1);
    EXPECT_EQ(m24, nullptr);
    pixel_format_555 = 0;
    ASSERT_EQ(load_map_16(p.c_str(), &m16.map, &w, &h), 0);
    EXPECT_EQ(word16(m16.map), 0x1106u);
    ASSERT_EQ(load_map_32(p.c_str(), &m32.map, &w, &h), 0);
    EXPECT_EQ(word32(m32.map), 0xFF102030u);
    EXPECT_EQ(word32(m32.map + 12), 0xFF070809u);
}

TEST(map_loaders, 32bit_file_pixels_become_the_map_unchanged) {
    scratch_dir dir;
    bitmap_image img = make_bitmap(3, 2, 32);
    for (size_t i = 0; i < img.pixels.size(); ++i)
        img.pixels[i] = uint8_t(3 * i + 1);
    write_bitmap_file(dir.file("t.bmp"), img);
    int32_t w = 0, h = 0;
    map_block m;
    ASSERT_EQ(load_map_32(dir.file("t.bmp").c_str(), &m.map, &w, &h), 0);
    EXPECT_EQ(std::memcmp(m.map, img.pixels.data(), 24), 0);
}

TEST(map_loaders, unreadable_or_unconvertible_files_give_minus_1_and_no_map) {
    scratch_dir dir;
    int32_t w = 0, h = 0;
    uint8_t *map = reinterpret_cast<uint8_t *>(&w);
    const std::string none = dir.file("none.bmp");
    EXPECT_EQ(load_map_16(none.c_str(), &map, &w, &h), -1);
    EXPECT_EQ(map, nullptr);
    map = reinterpret_cast<uint8_t *>(&w);
    EXPECT_EQ(load_map_24(none.c_str(), &map, &w, &h), -1);
    EXPECT_EQ(map, nullptr);
    map = reinterpret_cast<uint8_t *>(&w);
    EXPECT_EQ(load_map_32(none.c_str(), &map, &w, &h), -1);
    EXPECT_EQ(map, nullptr);
    // A 32-bit file has no conversion to 16 bits: refused, not left unwritten.
    write_bitmap_file(dir.file("t32.bmp"), make_bitmap(2, 2, 32));
    map = reinterpret_cast<uint8_t *>(&w);
    EXPECT_EQ(load_map_16(dir.file("t32.bmp").c_str(), &map, &w, &h), -1);
    EXPECT_EQ(map, nullptr);
}

TEST(map_loaders, colour_table_after_a_124_byte_header_gives_the_right_colours) {
    scratch_dir dir;
    bitmap_image img = make_bitmap(2, 1, 8);
    img.info_header_bytes = 124;
    set_table_colour(img, 1, 0x30, 0x20, 0x10);
    img.pixels = {1, 0};
    write_bitmap_file(dir.file("v5.bmp"), img);
    int32_t w = 0, h = 0;
    map_block m;
    ASSERT_EQ(load_map_32(dir.file("v5.bmp").c_str(), &m.map, &w, &h), 0);
    EXPECT_EQ(word32(m.map), 0x2010FF30u);
    EXPECT_EQ(word32(m.map + 4), 0x0000FF00u);
}

TEST(map_loaders, indices_beyond_a_short_colour_table_are_black) {
    scratch_dir dir;
    bitmap_image img = make_bitmap(3, 1, 8);
    img.colour_table.resize(16 * 4);
    img.pixels = {15, 16, 255};
    write_bitmap_file(dir.file("s.bmp"), img);
    int32_t w = 0, h = 0;
    map_block m;
    ASSERT_EQ(load_map_24(dir.file("s.bmp").c_str(), &m.map, &w, &h), 0);
    const uint8_t expected[9] = {15, 15, 15, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(m.map, expected, 9), 0);
}

}  // namespace
