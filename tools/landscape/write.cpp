// write.cpp - the three data files of the demo.
#include "tools/landscape/bitmap_write.h"
#include "tools/landscape/landscape.h"

namespace {

bitmap_image with_pixels(const std::vector<uint8_t> &pixels) {
    bitmap_image image = make_bitmap(landscape_size, landscape_size, 8);
    image.pixels = pixels;
    return image;
}

void set_landscape_table(bitmap_image &image) {
    const std::array<landscape_rgb, 256> palette = landscape_palette();
    for (int i = 0; i < 256; ++i)
        set_table_colour(image, i, palette[i].red, palette[i].green, palette[i].blue);
}

}  // namespace

bool write_landscape(const std::string &dir) {
    const std::vector<uint8_t> heights = make_heights();
    // Heights keep the grey ramp; colours and sky share the landscape table.
    bitmap_image colour = with_pixels(make_colour_indices(heights));
    bitmap_image sky = with_pixels(make_sky());
    set_landscape_table(colour);
    set_landscape_table(sky);
    return write_bitmap_file(dir + "/heightd2.bmp", with_pixels(heights)) &&
           write_bitmap_file(dir + "/heightc2.bmp", colour) && write_bitmap_file(dir + "/clouds.bmp", sky);
}
