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

// Diagnostic hook of the reader; writes nothing.
void debug_trace(const char *format, ...);
