// plain_loop.h - the yardstick of the tools' figures on several threads:
// how much more a plain compute loop gets done on N threads than on one on
// this machine at the same moments as the path it is set beside. The tools
// give the loop a round beside each of their own rounds (a round on one
// thread, then one on N, each as long as the path's round on one thread),
// so that what else the machine does at a moment weighs on both alike; the
// gain is the median of the rounds' ratios. A path on N threads can gain no
// more than this; the tools print both.
//
//   plain_loop *loop = start_plain_loop(2);
//   ... after each of the path's rounds on one thread and on N:
//   plain_loop_round(loop, one_thread_ms);
//   double most = plain_loop_gain(loop);   // e.g. 1.97 on two free cores
//   stop_plain_loop(loop);
#pragma once

struct plain_loop;

// The loop's teams of one thread and of `threads`, and how many of its
// additions a millisecond takes here.
plain_loop *start_plain_loop(int threads);
// A round on one thread of about `ms` milliseconds, then the same work on
// every thread of the other team, whose threads are woken first.
void plain_loop_round(plain_loop *loop, double ms);
// The work of N threads a round over the time taken, against one thread's,
// the median of the rounds' ratios (1 before any round).
double plain_loop_gain(const plain_loop *loop);
void stop_plain_loop(plain_loop *loop);
