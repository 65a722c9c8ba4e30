// plain_loop.h - the yardstick of the tools' figures on several threads:
// how much more a plain compute loop gets done on N threads than on one on
// this machine at this moment, measured as the tools measure their paths
// (rounds that take turns, the median of the rounds' ratios). A path on N
// threads can gain no more than this; the tools print both.
//
//   double most = plain_loop_gain(2);   // e.g. 1.97 on two free cores
#pragma once

// The work of N threads a round (each the same loop of additions, in
// registers) over the time taken, against one thread's, in turns with it.
double plain_loop_gain(int threads);
