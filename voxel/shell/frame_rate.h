// frame_rate.h - frames per second from the fine clock: each frame's counts
// from the lock to the end of the presentation, summed for the caption
// (over the frames since the last title) and for each phase (over all its
// frames).
//
//   count_frame(end - start);                // after every presented frame
//   frames_per_second(frame_rates.caption, fine_clock_rate());
//   reset_caption_tally();                   // when a title was set
//   print_phase_summary();                   // at the normal end
#pragma once
#include <cstddef>
#include <cstdint>

// Frames and the counts they took together.
struct rate_tally {
    uint64_t frames;
    uint64_t counts;
};

struct frame_rate_state {
    rate_tally caption;      // frames since the last title, all of one phase
    int caption_phase;       // the vector_phase those frames were drawn in
    rate_tally phases[2];    // every frame of the standard (0) and vector (1) phase
};
extern frame_rate_state frame_rates;

// The fine clock's counts per second; 0 when there is none.
uint64_t fine_clock_rate();

// All tallies empty, as at the start of the program.
void reset_frame_rates();
// Adds one frame of `counts` to the phase now drawn (vector_phase) and to
// the caption's tally, which starts afresh when the phase has changed.
void count_frame(uint64_t counts);
void reset_caption_tally();

// frames x frequency / counts, truncated: the rate at which the frames
// followed each other had nothing come between them. Counts of 0 are taken
// as 1; rates beyond the largest int are held there; no frames, or no
// clock (frequency 0), give 0.
int frames_per_second(const rate_tally &tally, uint64_t frequency);

// "<standard name> N; <vector name> M (R×)": each phase's rate in the
// caption's form, and the vector phase's rate over the standard one with
// two decimals (unrounded rates; left out when a phase has no frames).
void format_phase_summary(char *text, size_t capacity, const char *standard_name,
                          const char *vector_name, uint64_t frequency);
// The summary in English, with the caption names of the catalogue's
// English record, as one line on standard output.
void print_phase_summary();
