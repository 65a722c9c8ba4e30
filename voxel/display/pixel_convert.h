// pixel_convert.h - colour maps in the frame's pixel format.
//
// The loaders read an 8-bit (or 24/32-bit) bitmap and hand back a map of
// width x height pixels, 2, 3 or 4 bytes each, top row first, allocated with
// malloc and owned by the caller. They return 0, or -1 with *map null.
#pragma once
#include <cstdint>

// 16-bit layout: 1 = 5-5-5, 0 = 5-6-5.
extern int pixel_format_555;

// colour_table: the info block from offset 40, entries blue, green, red, reserved.
void convert_8_to_16(uint8_t *dst, int dst_step, const uint8_t *src, int src_step,
                     int width, int height, const uint8_t *colour_table);
void convert_8_to_24(uint8_t *dst, int dst_step, const uint8_t *src, int src_step,
                     int width, int height, const uint8_t *colour_table);
void convert_8_to_32(uint8_t *dst, int dst_step, const uint8_t *src, int src_step,
                     int width, int height, const uint8_t *colour_table);
void convert_24_to_16(uint8_t *dst, int dst_step, const uint8_t *src, int src_step,
                      int width, int height);
void convert_24_to_32(uint8_t *dst, int dst_step, const uint8_t *src, int src_step,
                      int width, int height);

int load_map_16(const char *path, uint8_t **map, int32_t *width, int32_t *height);
int load_map_24(const char *path, uint8_t **map, int32_t *width, int32_t *height);
int load_map_32(const char *path, uint8_t **map, int32_t *width, int32_t *height);
