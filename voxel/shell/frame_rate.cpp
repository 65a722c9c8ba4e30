// frame_rate.cpp - the tallies of frames and counts behind the caption and
// the phase summary, and the rates worked out from them.
#include "voxel/shell/frame_rate.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "common/messages.h"
#include "voxel/render/terrain.h"
#include "voxel/shell/shell.h"
#include "voxel/shell/shell_messages.h"

frame_rate_state frame_rates;

uint64_t fine_clock_rate() {
    LARGE_INTEGER rate;
    return QueryPerformanceFrequency(&rate) && rate.QuadPart > 0 ? uint64_t(rate.QuadPart) : 0;
}

void reset_frame_rates() { frame_rates = {}; }

static void add_frame(rate_tally *tally, uint64_t counts) {
    tally->frames += 1;
    tally->counts += counts;
}

void count_frame(uint64_t counts) {
    const int phase = vector_phase ? 1 : 0;
    if (frame_rates.caption_phase != phase) {
        frame_rates.caption = {};
        frame_rates.caption_phase = phase;
    }
    add_frame(&frame_rates.caption, counts);
    add_frame(&frame_rates.phases[phase], counts);
}

void reset_caption_tally() { frame_rates.caption = {}; }

int frames_per_second(const rate_tally &tally, uint64_t frequency) {
    // a 128-bit product: frames x frequency may pass 64 bits
    const unsigned __int128 product = static_cast<unsigned __int128>(tally.frames) * frequency;
    const unsigned __int128 fps = product / std::max<uint64_t>(tally.counts, 1u);
    return int(std::min<unsigned __int128>(fps, INT_MAX));
}

// The vector phase's rate over the standard phase's, from the tallies
// themselves (the frequency cancels out).
static double phase_ratio(const rate_tally &standard, const rate_tally &vector) {
    const double standard_rate = double(standard.frames) / double(std::max<uint64_t>(standard.counts, 1u));
    const double vector_rate = double(vector.frames) / double(std::max<uint64_t>(vector.counts, 1u));
    return vector_rate / standard_rate;
}

void format_phase_summary(char *text, size_t capacity, const char *standard_name,
                          const char *vector_name, uint64_t frequency) {
    const rate_tally &standard = frame_rates.phases[0];
    const rate_tally &vector = frame_rates.phases[1];
    char first[200], second[200];
    format_caption(first, sizeof first, standard_name, frames_per_second(standard, frequency));
    format_caption(second, sizeof second, vector_name, frames_per_second(vector, frequency));
    if (standard.frames == 0 || vector.frames == 0)
        std::snprintf(text, capacity, "%s; %s", first, second);
    else
        std::snprintf(text, capacity, "%s; %s (%.2f\u00D7)", first, second, phase_ratio(standard, vector));
}

void print_phase_summary() {
    // English whatever the locale: the catalogue's other records are in
    // Windows code pages, which a terminal does not read, and a script
    // reading the line finds the same words everywhere
    constexpr int english_record = 0;
    const char *const *english = voxel_messages[english_record];
    char line[500];
    format_phase_summary(line, sizeof line, english[slot::standard_caption], english[slot::vector_caption],
                         fine_clock_rate());
    std::printf("%s\n", line);
    std::fflush(stdout);
}
