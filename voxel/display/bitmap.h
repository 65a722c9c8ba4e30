// bitmap.h - reading uncompressed Windows bitmap files.
//
//   int32_t w, h;
//   if (read_bitmap_size("heightd2.bmp", &w, &h) == 0) ...
//   uint8_t *info, *pixels;
//   if (read_bitmap_file("heightc2.bmp", &info, &pixels) == 0) {
//       ... info + 40 is the colour table, pixels the rows, top row first ...
//       free(info); free(pixels);
//   }
//
// Result codes: 0 success, -1 cannot open, -2 header or info block short,
// compressed, or sizes the reader refuses, -3 not "BM", -4 cannot allocate,
// -5 a pixel row short. Both blocks belong to the caller (release with free).
#pragma once
#include <cstdint>

// Layout of the platform's PALETTEENTRY: red, green, blue, flags.
struct palette_entry {
    uint8_t red, green, blue, flags;
};

// The display palette at 8 bits per pixel, filled by read_bitmap_palette.
extern palette_entry image_palette[256];

int read_bitmap_size(const char *path, int32_t *width, int32_t *height);
int read_bitmap_file(const char *path, uint8_t **info, uint8_t **pixels);
int read_bitmap_palette(const char *path);

// Diagnostic hook of the reader; writes nothing. The text of the last
// message stays in bitmap_last_trace (empty before the first one).
void debug_trace(const char *format, ...);
constexpr int bitmap_trace_size = 256;
extern char bitmap_last_trace[bitmap_trace_size];

// The reader's limits and helpers for the map loaders.
// Largest info block (colour table and any gap before the pixels) and pixel
// block the reader allocates; bigger claims are refused with -2.
constexpr uint32_t bitmap_max_info_bytes = 1u << 16;
constexpr uint32_t bitmap_max_pixel_bytes = 1u << 28;

// read_bitmap_file that also gives the size of the info block in bytes.
int read_bitmap_blocks(const char *path, uint8_t **info, uint8_t **pixels, uint32_t *info_size);

// Offset of the colour table in an info block: after the info header whose
// size the block's first field gives (40, 52, 56, 108 or 124 bytes), or 40
// for any other size.
uint32_t colour_table_offset(const uint8_t *info);

// The 256-entry colour table (blue, green, red, reserved) of an info block
// of info_size bytes into table; entries the block does not hold are black.
void copy_colour_table(const uint8_t *info, uint32_t info_size, uint8_t table[1024]);
