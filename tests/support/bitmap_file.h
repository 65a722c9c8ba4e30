// bitmap_file.h - writing small 8-bit bitmap files for tests, and a scratch
// directory to write them into.
//
//   test_support::scratch_directory dir;            // made and entered; removed on exit
//   std::vector<uint8_t> rows(512 * 512, 7);        // top row first
//   test_support::write_bitmap_8("heightd2.bmp", 512, 512, rows.data(),
//                                test_support::grey_palette());
#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// 256 colour table entries of blue, green, red, reserved.
using bitmap_palette = std::array<uint8_t, 1024>;

// entry i: blue i, green i, red i
inline bitmap_palette grey_palette()
{
    bitmap_palette p{};
    for (int i = 0; i < 256; i++) {
        p[4 * i] = p[4 * i + 1] = p[4 * i + 2] = uint8_t(i);
        p[4 * i + 3] = 0;
    }
    return p;
}

inline void put_le(std::vector<uint8_t> &out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; i++)
        out.push_back(uint8_t(v >> (8 * i)));
}

// The bytes of an uncompressed 8-bit bitmap with a 256-entry colour table:
// rows stored bottom row first, each padded to a multiple of four bytes.
inline std::vector<uint8_t> bitmap_8_bytes(int width, int height, const uint8_t *top_first,
                                           const bitmap_palette &palette)
{
    const uint32_t row_bytes = (uint32_t(width) + 3) & ~3u;
    const uint32_t data_offset = 14 + 40 + 1024;
    std::vector<uint8_t> out;
    // file header
    put_le(out, 0x4D42, 2);
    put_le(out, data_offset + row_bytes * uint32_t(height), 4);
    put_le(out, 0, 4);
    put_le(out, data_offset, 4);
    // info header
    put_le(out, 40, 4);
    put_le(out, uint32_t(width), 4);
    put_le(out, uint32_t(height), 4);
    put_le(out, 1, 2);
    put_le(out, 8, 2);
    for (int i = 0; i < 6; i++)
        put_le(out, 0, 4);
    out.insert(out.end(), palette.begin(), palette.end());
    // pixel rows, bottom first
    for (int r = height - 1; r >= 0; r--) {
        const uint8_t *row = top_first + size_t(r) * size_t(width);
        out.insert(out.end(), row, row + width);
        out.resize(out.size() + (row_bytes - uint32_t(width)), 0);
    }
    return out;
}

inline bool write_file(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline bool write_bitmap_8(const std::string &path, int width, int height,
                           const uint8_t *top_first, const bitmap_palette &palette)
{
    return write_file(path, bitmap_8_bytes(width, height, top_first, palette));
}

// A fresh temporary directory that is the current directory for the
// object's lifetime; afterwards the previous one is restored and the
// directory removed with everything in it.
struct scratch_directory {
    std::filesystem::path previous, path;

    scratch_directory()
    {
        previous = std::filesystem::current_path();
        std::string tmpl = (std::filesystem::temp_directory_path() / "demos-test-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            std::abort();
        path = tmpl;
        std::filesystem::current_path(path);
    }
    ~scratch_directory()
    {
        std::error_code ignored;
        std::filesystem::current_path(previous, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    scratch_directory(const scratch_directory &) = delete;
    scratch_directory &operator=(const scratch_directory &) = delete;
};

} // namespace test_support
