// rounds.h - what the tools' comparisons share: subjects timed in short
// rounds that take turns (A B A B ...), so that whatever else the machine
// does at a moment slows the subjects of neighbouring rounds alike, and each
// ratio taken as the median of the rounds' own ratios.
//
//   const double start = thread_clock_ms();
//   ... one subject's round on this thread ...
//   ms.push_back(thread_clock_ms() - start);
//   ratio = median_of(per_round_ratios(scalar_ms, vector_ms));
#pragma once
#include <vector>

// The processor time this thread has used, in milliseconds: a round on one
// thread is then not charged for the moments another process held the
// processor. Where the system has no such clock, the steady clock's time.
double thread_clock_ms();

// The steady clock's time in milliseconds, for rounds on several threads.
double wall_clock_ms();

// The middle value, or the mean of the two middle values of an even count;
// 0 for none.
double median_of(std::vector<double> values);

// a[r] / b[r] for each round r that both have and where b[r] > 0.
std::vector<double> per_round_ratios(const std::vector<double> &a, const std::vector<double> &b);
