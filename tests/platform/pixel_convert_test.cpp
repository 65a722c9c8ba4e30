// pixel_convert_test.cpp - the one-pass conversion of display rows into a
// screen's format gives exactly the bytes of decoding each pixel
// (decode_pixel) and packing the colour, for every 16-bit value, every
// palette index and random 24/32-bit rows, at odd widths and unaligned
// starts; where the formats agree it is a plain copy. The desktop's
// streaming row copy gives the bytes of a plain one.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/pixel_convert.h"
#include "platform/stream_copy.h"

using namespace plat;

namespace {

const screen_format all_screens[] = {screen_format::xrgb8888, screen_format::rgb565, screen_format::rgb555};

// The old way: each pixel decoded, then packed into the screen's format.
std::vector<uint8_t> reference(const uint8_t *src, int width, int bits, bool is_555, const rgb_palette &palette,
                               screen_format screen) {
    const int out = screen_bytes(screen);
    std::vector<uint8_t> dst((size_t)width * out);
    for (int x = 0; x < width; x++) {
        const uint32_t v = pack_screen(decode_pixel(src + x * (bits / 8), bits, is_555, palette), screen);
        memcpy(&dst[(size_t)x * out], &v, out);
    }
    return dst;
}

// Converts from `src` + `offset` into a destination at an odd offset too,
// and checks nothing around the row was written.
std::vector<uint8_t> converted(const row_converter &c, const std::vector<uint8_t> &src, int offset, int width) {
    const int out = screen_bytes(c.screen);
    std::vector<uint8_t> dst((size_t)width * out + 8, 0xA5);
    convert_row(c, src.data() + offset, width, dst.data() + 3);
    for (int i : {0, 1, 2}) EXPECT_EQ(dst[i], 0xA5);
    for (size_t i = 3 + (size_t)width * out; i < dst.size(); i++) EXPECT_EQ(dst[i], 0xA5);
    return std::vector<uint8_t>(dst.begin() + 3, dst.begin() + 3 + (ptrdiff_t)width * out);
}

rgb_palette random_palette(std::mt19937 &random) {
    rgb_palette palette;
    for (auto &c : palette) c = {(uint8_t)random(), (uint8_t)random(), (uint8_t)random()};
    return palette;
}

}  // namespace

TEST(PixelConvert, EverySixteenBitValueAsTheDecoderGivesIt) {
    std::vector<uint8_t> src(2 * 65536 + 1);
    for (unsigned v = 0; v < 65536; v++) src[1 + 2 * v] = (uint8_t)v, src[2 + 2 * v] = (uint8_t)(v >> 8);
    for (bool is_555 : {false, true})
        for (screen_format screen : all_screens) {
            row_converter c;
            converter_prepare(c, 16, is_555, rgb_palette{}, screen);
            EXPECT_EQ(converted(c, src, 1, 65536), reference(src.data() + 1, 65536, 16, is_555, {}, screen))
                << "5-5-5 " << is_555 << ", screen " << (int)screen;
            // the tail after the last whole group of eight
            EXPECT_EQ(converted(c, src, 1 + 2 * 100, 13), reference(src.data() + 201, 13, 16, is_555, {}, screen));
        }
}

TEST(PixelConvert, EveryPaletteIndex) {
    std::mt19937 random(8);
    const rgb_palette palette = random_palette(random);
    std::vector<uint8_t> src(256 + 5);
    for (int i = 0; i < 256; i++) src[5 + i] = (uint8_t)(255 - i);
    for (screen_format screen : all_screens) {
        row_converter c;
        converter_prepare(c, 8, false, palette, screen);
        EXPECT_EQ(converted(c, src, 5, 256), reference(src.data() + 5, 256, 8, false, palette, screen));
    }
}

TEST(PixelConvert, RandomTrueColourRowsAtOddWidths) {
    std::mt19937 random(24);
    for (int bits : {24, 32})
        for (screen_format screen : all_screens)
            for (int width : {1, 7, 10, 509, 1023}) {
                // exactly the row: a read past its end is one past the memory
                std::vector<uint8_t> src((size_t)width * (bits / 8) + 3);
                for (auto &b : src) b = (uint8_t)random();
                row_converter c;
                converter_prepare(c, bits, false, rgb_palette{}, screen);
                std::vector<uint8_t> out = converted(c, src, 3, width);
                std::vector<uint8_t> want = reference(src.data() + 3, width, bits, false, {}, screen);
                if (bits == 32 && screen == screen_format::xrgb8888) {
                    // a copy: the unused fourth byte goes through as it is
                    EXPECT_TRUE(c.copies);
                    EXPECT_EQ(out, std::vector<uint8_t>(src.begin() + 3, src.begin() + 3 + width * 4));
                    for (int x = 0; x < width; x++) want[4 * x + 3] = out[4 * x + 3];
                }
                EXPECT_EQ(out, want) << bits << " bits, width " << width << ", screen " << (int)screen;
            }
}

TEST(PixelConvert, TheScreensOwnSixteenBitFormatIsCopied) {
    row_converter c;
    converter_prepare(c, 16, false, rgb_palette{}, screen_format::rgb565);
    EXPECT_TRUE(c.copies);
    converter_prepare(c, 16, true, rgb_palette{}, screen_format::rgb565);
    EXPECT_FALSE(c.copies);
    // a 5-5-5 display on a 5-5-5 screen is not a copy: its unused top bit is cleared
    converter_prepare(c, 16, true, rgb_palette{}, screen_format::rgb555);
    EXPECT_FALSE(c.copies);
    std::vector<uint8_t> src = {0xFF, 0xFF, 0x34, 0x92};
    EXPECT_EQ(converted(c, src, 0, 2), (std::vector<uint8_t>{0xFF, 0x7F, 0x34, 0x12}));
}

// The desktop's rows copied with streaming stores: the same bytes as a
// plain copy for every alignment of either side and every length about the
// 16- and 64-byte steps, and not a byte written outside the row.
TEST(StreamCopy, EveryAlignmentAndLengthCopiesTheRowExactly) {
    std::mt19937 random(7);
    std::vector<uint8_t> src(400);
    for (uint8_t &b : src) b = (uint8_t)random();
    for (int dst_offset = 0; dst_offset < 16; dst_offset++)
        for (int src_offset = 0; src_offset < 16; src_offset += 5)
            for (int length : {0, 1, 15, 16, 17, 63, 64, 65, 127, 128, 129, 200, 300}) {
                std::vector<uint8_t> dst(400, 0xA5);
                uint8_t *to = dst.data() + 32 + dst_offset;
                stream_copy_row(to, src.data() + src_offset, (size_t)length);
                stream_copy_done();
                std::vector<uint8_t> want(400, 0xA5);
                memcpy(want.data() + 32 + dst_offset, src.data() + src_offset, (size_t)length);
                ASSERT_EQ(dst, want) << "destination +" << dst_offset << ", source +" << src_offset << ", "
                                     << length << " bytes";
            }
}
