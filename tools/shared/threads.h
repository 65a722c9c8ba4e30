// threads.h - the same work on several threads at once, for the tools'
// figures on every core. A team's threads are started once and wait between
// runs, so that a timed run pays for waking them, not for starting them.
//
//   thread_team *team = start_team(n);
//   run_team(team, [&](int k) { ... share k of n ... });   // as often as needed
//   stop_team(team);
//
// Share 0 runs on the calling thread, each other one on a thread of the team
// (where the system could not start one, the calling thread runs that share
// after its own); a run returns when every share is done.
#pragma once

// The processors this process may run on (at least 1).
int processor_count();

struct thread_team;

// A team of `count` members: the calling thread and count - 1 others.
thread_team *start_team(int count);
void run_team(thread_team *team, void (*share)(void *context, int k), void *context);
// Ends the team's threads and frees it.
void stop_team(thread_team *team);

template <class work>
void run_team(thread_team *team, work &&share)
{
    run_team(
        team, [](void *context, int k) { (*static_cast<decltype(&share)>(context))(k); }, &share);
}
