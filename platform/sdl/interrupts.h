// interrupts.h - SIGINT, SIGTERM and SIGHUP end a program with windows at
// once, from whatever it is doing: a box open, a computation that pumps no
// messages, a minimised window. SDL's own handlers only queue a quit event,
// which such a program may not read for seconds, or at all; ours lets go of
// what would outlive the process and raises the signal again with its
// default action, so the program ends with the status a shell expects of it
// (128 + the signal: 130, 143, 129). The window system frees the windows and
// the shared memory of a client that is gone.
#pragma once

namespace plat {

// Keeps SDL from installing its handlers; call before SDL opens its video.
void interrupts_keep_from_sdl();

// Installs ours (once the sdl backend is in use).
void interrupts_end_the_program();

// A step that an interrupt must not cut in two (a shared memory segment
// made and its id recorded for the handler to remove): an ending signal
// that comes between the two calls, on any of the program's threads, ends
// the program at interrupts_let_through instead, with the same status.
// interrupts_hold is false when the program is already ending: the step is
// then not to be taken.
bool interrupts_hold();
void interrupts_let_through();

}  // namespace plat
