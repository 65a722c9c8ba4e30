// icon_shape.cpp - the rounded outline of both icons.
#include "tools/landscape/icon_shape.h"

#include <cmath>

namespace {

constexpr int samples = 8;              // per pixel side for the outline's edge
constexpr double corner_share = 0.16;   // corner radius over the icon's side

bool inside_outline(double size, double x, double y) {
    const double radius = corner_share * size;
    const double cx = std::fmin(std::fmax(x, radius), size - radius);
    const double cy = std::fmin(std::fmax(y, radius), size - radius);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

}  // namespace

double icon_coverage(int size, int x, int y) {
    int in = 0;
    for (int sy = 0; sy < samples; ++sy)
        for (int sx = 0; sx < samples; ++sx)
            in += inside_outline(size, x + (sx + 0.5) / samples, y + (sy + 0.5) / samples);
    return double(in) / (samples * samples);
}

std::vector<uint8_t> icon_with_outline(const std::vector<uint8_t> &rgb, int size) {
    std::vector<uint8_t> rgba(size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const size_t k = size_t(y) * size + x;
            const double alpha = icon_coverage(size, x, y);
            for (int c = 0; c < 3; ++c)
                rgba[k * 4 + c] = alpha > 0 ? rgb[k * 3 + c] : 0;
            rgba[k * 4 + 3] = uint8_t(alpha * 255 + 0.5);
        }
    return rgba;
}
