// The bitmap reader: block layouts, result codes, trace messages, and the
// files it refuses before allocating anything.
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "tools/landscape/bitmap_write.h"
#include "tools/scratch_dir.h"
#include "voxel/display/bitmap.h"
#include "voxel/render/terrain_check.h"

namespace {

void put_u32(std::vector<uint8_t> &b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// An 8-bit image whose pixel (x, row) is x + 7 * row, top row first.
bitmap_image numbered_image(int width, int height) {
    bitmap_image img = make_bitmap(width, height, 8);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x)
            img.pixels[size_t(row) * width + x] = uint8_t(x + 7 * row);
    return img;
}

struct read_result {
    int code;
    uint8_t *info, *pixels;
    ~read_result() {
        std::free(info);
        std::free(pixels);
    }
};

// Reads bytes written to a scratch file; the outputs start as junk pointers
// to show that a failure overwrites them with null.
int read_bytes(const std::vector<uint8_t> &bytes, read_result &r, scratch_dir &dir) {
    const std::string path = dir.file("t.bmp");
    write_bytes_file(path, bytes);
    r.info = reinterpret_cast<uint8_t *>(&r);
    r.pixels = reinterpret_cast<uint8_t *>(&r);
    r.code = read_bitmap_file(path.c_str(), &r.info, &r.pixels);
    if (r.code != 0) {
        EXPECT_EQ(r.info, nullptr);
        EXPECT_EQ(r.pixels, nullptr);
    }
    return r.code;
}

TEST(bitmap_reader, full_size_8bit_file_gives_1064_byte_info_and_rows_top_first) {
    scratch_dir dir;
    const bitmap_image img = numbered_image(512, 512);
    read_result r{};
    ASSERT_EQ(read_bytes(encode_bitmap(img), r, dir), 0);
    // Info block: the file's bytes from offset 14 up to the pixel data.
    const std::vector<uint8_t> file = encode_bitmap(img);
    EXPECT_EQ(std::memcmp(r.info, file.data() + 14, 1064), 0);
    EXPECT_EQ(std::memcmp(r.pixels, img.pixels.data(), 262144), 0);
    // The first block row is the last row in the file.
    EXPECT_EQ(std::memcmp(r.pixels, file.data() + 1078 + 511 * 512, 512), 0);
}

TEST(bitmap_reader, fill_bytes_are_dropped_from_8bit_and_24bit_rows) {
    scratch_dir dir;
    read_result r8{};
    const bitmap_image narrow = numbered_image(3, 4);
    ASSERT_EQ(read_bytes(encode_bitmap(narrow), r8, dir), 0);
    EXPECT_EQ(std::memcmp(r8.pixels, narrow.pixels.data(), 12), 0);

    bitmap_image rgb = make_bitmap(2, 3, 24);
    for (size_t i = 0; i < rgb.pixels.size(); ++i)
        rgb.pixels[i] = uint8_t(100 + i);
    ASSERT_EQ(encode_bitmap(rgb).size(), 54u + 3 * 8);
    read_result r24{};
    ASSERT_EQ(read_bytes(encode_bitmap(rgb), r24, dir), 0);
    EXPECT_EQ(std::memcmp(r24.pixels, rgb.pixels.data(), 18), 0);
}

TEST(bitmap_reader, height_zero_reads_no_row_and_succeeds) {
    scratch_dir dir;
    read_result r{};
    EXPECT_EQ(read_bytes(encode_bitmap(make_bitmap(5, 0, 8)), r, dir), 0);
    EXPECT_NE(r.pixels, nullptr);
}

TEST(bitmap_reader, file_cut_inside_third_row_gives_minus_5_naming_row_2) {
    scratch_dir dir;
    std::vector<uint8_t> bytes = encode_bitmap(numbered_image(8, 5));
    bytes.resize(1078 + 2 * 8 + 3);
    read_result r{};
    EXPECT_EQ(read_bytes(bytes, r, dir), -5);
    EXPECT_STREQ(bitmap_last_trace, "Failed to read row 2 of 5 of the bitmap data.");
}

TEST(bitmap_reader, failures_give_their_codes_and_messages) {
    scratch_dir dir;
    std::vector<uint8_t> valid = encode_bitmap(numbered_image(4, 4));
    read_result missing{};
    missing.code = read_bitmap_file(dir.file("none.bmp").c_str(), &missing.info, &missing.pixels);
    EXPECT_EQ(missing.code, -1);
    EXPECT_EQ(std::string(bitmap_last_trace), "Failed to open '" + dir.file("none.bmp") + "'.");

    read_result short_header{};
    EXPECT_EQ(read_bytes(std::vector<uint8_t>(valid.begin(), valid.begin() + 13), short_header, dir), -2);
    EXPECT_EQ(std::string(bitmap_last_trace), "Failed reading bitmap file header in file '" + dir.file("t.bmp") + "'.");

    std::vector<uint8_t> not_bm = valid;
    not_bm[0] = 'X';
    read_result wrong_type{};
    EXPECT_EQ(read_bytes(not_bm, wrong_type, dir), -3);
    EXPECT_EQ(std::string(bitmap_last_trace), "'" + dir.file("t.bmp") + "' is not a valid bitmap.");

    read_result short_info{};
    EXPECT_EQ(read_bytes(std::vector<uint8_t>(valid.begin(), valid.begin() + 500), short_info, dir), -2);
    EXPECT_EQ(std::string(bitmap_last_trace), "Failed reading bitmap info header in file '" + dir.file("t.bmp") + "'.");
}

// The reason a user reads: a file too short to hold a file header is no
// bitmap, while one that ends inside its info header or its rows is a bitmap
// cut short.
TEST(bitmap_reader, short_text_file_is_not_a_bitmap_and_a_truncated_bitmap_is_cut_short) {
    scratch_dir dir;
    read_result text{};
    EXPECT_EQ(read_bytes({'h', 'e', 'l', 'l', 'o', '\n'}, text, dir), -2);
    EXPECT_EQ(bitmap_failure_reason(text.code), "not a bitmap (the file is shorter than a bitmap header)");

    const std::vector<uint8_t> valid = encode_bitmap(numbered_image(4, 4));
    read_result short_info{};
    EXPECT_EQ(read_bytes(std::vector<uint8_t>(valid.begin(), valid.begin() + 20), short_info, dir), -2);
    EXPECT_EQ(bitmap_failure_reason(short_info.code),
              "the file is cut short: Failed reading bitmap info header in file '" + dir.file("t.bmp") + "'.");

    read_result short_rows{};
    EXPECT_EQ(read_bytes(std::vector<uint8_t>(valid.begin(), valid.end() - 5), short_rows, dir), -5);
    EXPECT_EQ(bitmap_failure_reason(short_rows.code), "the file is cut short: Failed to read row 2 of 4 of the bitmap data.");
}

TEST(bitmap_reader, compressed_file_is_refused_but_its_size_is_read) {
    scratch_dir dir;
    std::vector<uint8_t> rle = encode_bitmap(numbered_image(6, 3));
    put_u32(rle, 30, 1);
    read_result r{};
    EXPECT_EQ(read_bytes(rle, r, dir), -2);
    EXPECT_STREQ(bitmap_last_trace, "Bitmap is compressed.");
    int32_t w = 0, h = 0;
    EXPECT_EQ(read_bitmap_size(dir.file("t.bmp").c_str(), &w, &h), 0);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 3);
}

TEST(bitmap_reader, negative_sizes_and_small_data_offsets_are_refused) {
    scratch_dir dir;
    const std::vector<uint8_t> valid = encode_bitmap(numbered_image(4, 4));
    for (size_t field : {size_t(18), size_t(22)}) {
        std::vector<uint8_t> negative = valid;
        put_u32(negative, field, uint32_t(-4));
        read_result r{};
        EXPECT_EQ(read_bytes(negative, r, dir), -2);
        int32_t w = 77, h = 77;
        EXPECT_EQ(read_bitmap_size(dir.file("t.bmp").c_str(), &w, &h), -2);
        EXPECT_EQ(w, 77);
        EXPECT_EQ(h, 77);
    }
    std::vector<uint8_t> low_offset = valid;
    put_u32(low_offset, 10, 53);
    read_result r{};
    EXPECT_EQ(read_bytes(low_offset, r, dir), -2);
}

TEST(bitmap_reader, sizes_that_overflow_or_cannot_be_allocated_are_refused) {
    scratch_dir dir;
    const std::vector<uint8_t> valid = encode_bitmap(numbered_image(4, 4));
    // 2^29 + 1 pixels wide, 8 rows, 8 bits: the product wraps to 64 bits.
    std::vector<uint8_t> wrapping = valid;
    put_u32(wrapping, 18, (1u << 29) + 1);
    put_u32(wrapping, 22, 8);
    read_result a{};
    EXPECT_EQ(read_bytes(wrapping, a, dir), -2);
    // 65536 x 65536 x 32 bits.
    std::vector<uint8_t> huge = valid;
    put_u32(huge, 18, 65536);
    put_u32(huge, 22, 65536);
    huge[28] = 32;
    read_result b{};
    EXPECT_EQ(read_bytes(huge, b, dir), -2);
    // A pixel data offset near 4 GiB claims an info block of that size.
    std::vector<uint8_t> far_offset = valid;
    put_u32(far_offset, 10, 0xFFFFFFF0u);
    read_result c{};
    EXPECT_EQ(read_bytes(far_offset, c, dir), -2);
}

TEST(bitmap_reader, debug_trace_writes_nothing) {
    scratch_dir dir;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    uint8_t *info, *pixels;
    EXPECT_EQ(read_bitmap_file(dir.file("none.bmp").c_str(), &info, &pixels), -1);
    debug_trace("%s %d", "anything", 3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_STREQ(bitmap_last_trace, "anything 3");
}

TEST(bitmap_palette, entries_become_red_green_blue_nocollapse) {
    scratch_dir dir;
    bitmap_image img = numbered_image(2, 2);
    set_table_colour(img, 7, 0x30, 0x20, 0x10);
    write_bitmap_file(dir.file("p.bmp"), img);
    ASSERT_EQ(read_bitmap_palette(dir.file("p.bmp").c_str()), 1);
    EXPECT_EQ(image_palette[7].red, 0x30);
    EXPECT_EQ(image_palette[7].green, 0x20);
    EXPECT_EQ(image_palette[7].blue, 0x10);
    EXPECT_EQ(image_palette[7].flags, 4);
    EXPECT_EQ(image_palette[200].red, 200);
}

TEST(bitmap_palette, table_after_108_and_124_byte_headers_is_found) {
    scratch_dir dir;
    for (uint32_t header : {108u, 124u}) {
        bitmap_image img = numbered_image(2, 2);
        img.info_header_bytes = header;
        set_table_colour(img, 0, 9, 8, 7);
        write_bitmap_file(dir.file("v.bmp"), img);
        ASSERT_EQ(read_bitmap_palette(dir.file("v.bmp").c_str()), 1);
        EXPECT_EQ(image_palette[0].red, 9);
        EXPECT_EQ(image_palette[0].blue, 7);
        EXPECT_EQ(image_palette[255].green, 255);
    }
}

TEST(bitmap_palette, short_table_leaves_missing_entries_black) {
    scratch_dir dir;
    bitmap_image img = numbered_image(2, 2);
    img.colour_table.resize(16 * 4);
    write_bitmap_file(dir.file("s.bmp"), img);
    image_palette[100] = {1, 2, 3, 4};
    ASSERT_EQ(read_bitmap_palette(dir.file("s.bmp").c_str()), 1);
    EXPECT_EQ(image_palette[15].red, 15);
    EXPECT_EQ(image_palette[16].red, 0);
    EXPECT_EQ(image_palette[100].green, 0);
    EXPECT_EQ(image_palette[100].flags, 4);
}

TEST(bitmap_palette, missing_or_foreign_file_gives_0) {
    scratch_dir dir;
    EXPECT_EQ(read_bitmap_palette(dir.file("none.bmp").c_str()), 0);
    write_bytes_file(dir.file("x.bmp"), {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(read_bitmap_palette(dir.file("x.bmp").c_str()), 0);
}

}  // namespace
