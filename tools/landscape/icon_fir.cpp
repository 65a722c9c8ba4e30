// icon_fir.cpp - the FIR icon. The wave is a slow sine with noise from the
// benchmark's random generator; the smooth one is fir_scalar's output for
// it with the benchmark's taps (scaled to sum to 1), so the icon shows what
// the program computes. Each pixel is the mean of 4 x 4 samples; the lines
// are as wide as suits each size, so that they still read at 48 pixels.
#include "tools/landscape/icon_fir.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "fir/bench/fir_kernels.h"
#include "tools/landscape/icon_shape.h"

namespace {

constexpr int shown = 54;                         // samples across the icon
constexpr int settle = fir::tap_count - 1;        // outputs before the filter is full
constexpr int computed = shown + settle;
constexpr int samples = 4;                        // per pixel side
constexpr double left = 0.08, right = 0.92;       // of the side: where the waves run
constexpr double pi = 3.14159265358979323846;

struct wave {
    std::array<double, shown> y;   // height of each shown sample, 0 (top) to 1
};

// The noisy input and the filtered output, as heights in the icon.
void make_waves(wave *noisy, wave *smooth) {
    std::array<float, computed> x{}, out{};
    float input_block[fir::sample_count], taps[fir::tap_count];
    fir_make_data(input_block, taps);
    float sum = 0;
    for (float t : taps)
        sum += t;
    for (float &t : taps)
        t /= sum;
    fir_seed_random(7);
    for (int n = 0; n < computed; ++n) {
        const double noise = fir_next_random() / 32767.0 - 0.5;
        x[n] = float(std::sin(2 * pi * (n - settle) / 36.0 + 0.4) + 0.9 * noise);
    }
    fir_scalar(x.data(), computed, taps, fir::tap_count, out.data());
    for (int k = 0; k < shown; ++k) {
        noisy->y[k] = 0.47 - 0.21 * x[k + settle];
        smooth->y[k] = 0.47 - 0.21 * out[k + settle];
    }
}

double sample_x(int k) { return left + (right - left) * k / (shown - 1); }

// Distance from (px, py) to the polyline of the wave, all in icon units.
double distance_to(const wave &w, double px, double py, double reach) {
    double best = 1e9;
    const double step = (right - left) / (shown - 1);
    const int first = std::max(0, int((px - reach - left) / step) - 1);
    const int last = std::min(shown - 2, int((px + reach - left) / step) + 1);
    for (int k = first; k <= last; ++k) {
        const double ax = sample_x(k), ay = w.y[k], bx = sample_x(k + 1), by = w.y[k + 1];
        const double dx = bx - ax, dy = by - ay;
        double t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy);
        t = std::clamp(t, 0.0, 1.0);
        const double ex = ax + t * dx - px, ey = ay + t * dy - py;
        best = std::min(best, std::sqrt(ex * ex + ey * ey));
    }
    return best;
}

icon_rgb mix(icon_rgb a, icon_rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Line half-widths in pixels for an icon of this size.
struct pen {
    double noisy, smooth, edge;
};

pen pen_for(int size) {
    if (size <= 48)
        return {0.75, 2.0, 0.9};
    if (size <= 128)
        return {1.1, 3.6, 1.4};
    return {1.6, 6.0, 2.2};
}

icon_rgb colour_at(const wave &noisy, const wave &smooth, const pen &p, int size, double px, double py) {
    using namespace icon_colours;
    icon_rgb c = mix(sky_top, sky_haze, std::clamp(py * 1.15, 0.0, 1.0));
    // a strip of meadow along the bottom, like the valley floor
    if (py > 0.86)
        c = mix(meadow, forest, std::clamp((py - 0.86) / 0.14, 0.0, 1.0));
    const double unit = 1.0 / size;
    const double reach = (p.smooth + p.edge) * unit;
    if (distance_to(noisy, px, py, p.noisy * unit) <= p.noisy * unit)
        c = mix(c, snow, 0.95);
    const double d = distance_to(smooth, px, py, reach);
    if (d <= p.smooth * unit)
        c = river;
    else if (d <= reach)
        c = snow;
    return c;
}

}  // namespace

std::vector<uint8_t> draw_fir_icon(int size) {
    wave noisy, smooth;
    make_waves(&noisy, &smooth);
    const pen p = pen_for(size);
    std::vector<uint8_t> rgb(size_t(size) * size * 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            icon_rgb sum = {0, 0, 0};
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const icon_rgb c = colour_at(noisy, smooth, p, size, (x + (sx + 0.5) / samples) / size,
                                                 (y + (sy + 0.5) / samples) / size);
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            const double n = samples * samples;
            uint8_t *out = &rgb[(size_t(y) * size + x) * 3];
            out[0] = uint8_t(sum.r / n + 0.5);
            out[1] = uint8_t(sum.g / n + 0.5);
            out[2] = uint8_t(sum.b / n + 0.5);
        }
    return rgb;
}
