// make_seeds - writes the fuzzer's seed corpus into the folder given: small
// valid bitmaps of every kind the loaders take, and broken ones patched
// from them.
#include <cstdio>
#include <string>

#include "tools/landscape/bitmap_write.h"

namespace {

void put_u32(std::vector<uint8_t> &b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

bitmap_image patterned(int width, int height, int bits) {
    bitmap_image img = make_bitmap(width, height, bits);
    for (size_t i = 0; i < img.pixels.size(); ++i)
        img.pixels[i] = uint8_t(i * 37 + 11);
    return img;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    bool ok = true;
    auto seed = [&](const char *name, const std::vector<uint8_t> &bytes) {
        ok = write_bytes_file(dir + "/" + name, bytes) && ok;
    };

    // Valid files.
    const std::vector<uint8_t> valid8 = encode_bitmap(patterned(7, 5, 8));
    seed("valid8.bmp", valid8);
    seed("valid24.bmp", encode_bitmap(patterned(5, 3, 24)));
    seed("valid32.bmp", encode_bitmap(patterned(3, 4, 32)));
    bitmap_image v5 = patterned(6, 2, 8);
    v5.info_header_bytes = 124;
    seed("header124.bmp", encode_bitmap(v5));
    bitmap_image v4 = patterned(2, 6, 8);
    v4.info_header_bytes = 108;
    v4.colour_table.resize(16 * 4);
    seed("header108_table16.bmp", encode_bitmap(v4));

    // Broken files, patched from a valid one.
    std::vector<uint8_t> b = valid8;
    put_u32(b, 30, 1);
    seed("rle.bmp", b);
    b = valid8;
    put_u32(b, 22, uint32_t(-5));
    seed("negative_height.bmp", b);
    b = valid8;
    put_u32(b, 10, 40);
    seed("low_offset.bmp", b);
    b = valid8;
    put_u32(b, 18, (1u << 29) + 1);
    put_u32(b, 22, 8);
    seed("wrapping_size.bmp", b);
    b = valid8;
    b.resize(b.size() - 10);
    seed("truncated.bmp", b);
    seed("header_only.bmp", std::vector<uint8_t>(valid8.begin(), valid8.begin() + 20));
    return ok ? 0 : 1;
}
