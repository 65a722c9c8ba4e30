// fuzz_bitmap - libFuzzer target over the bitmap reader and the map loaders.
// Each input is written to a file (the reader takes paths), then read by
// every entry point; a failing call must hand back null blocks.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "voxel/display/bitmap.h"
#include "voxel/display/pixel_convert.h"

namespace {

// One scratch file per fuzzing process, in memory where the system has it.
const std::string &input_path() {
    static const std::string path =
        std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + "/voxel-fuzz-" +
        std::to_string(getpid()) + ".bmp";
    return path;
}

void remove_input() { std::remove(input_path().c_str()); }

bool write_input(const uint8_t *data, size_t size) {
    std::FILE *f = std::fopen(input_path().c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

void check_loader(int (*load)(const char *, uint8_t **, int32_t *, int32_t *)) {
    uint8_t *map = nullptr;
    int32_t w = 0, h = 0;
    if (load(input_path().c_str(), &map, &w, &h) != 0 && map)
        std::abort();
    std::free(map);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    std::atexit(remove_input);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (!write_input(data, size))
        std::abort();
    const char *path = input_path().c_str();

    uint8_t *info = nullptr, *pixels = nullptr;
    if (read_bitmap_file(path, &info, &pixels) != 0 && (info || pixels))
        std::abort();
    std::free(info);
    std::free(pixels);

    int32_t w, h;
    read_bitmap_size(path, &w, &h);
    read_bitmap_palette(path);

    // Both 16-bit layouts, and the three loaders.
    pixel_format_555 = size & 1;
    check_loader(load_map_16);
    check_loader(load_map_24);
    check_loader(load_map_32);
    return 0;
}
