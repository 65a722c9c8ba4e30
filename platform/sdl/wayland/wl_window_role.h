// wl_window_role.h - showing and ending SDL's windows on Wayland where SDL
// 2.26's Wayland driver leaves them broken:
//
//   - shown: a compositor that answers SDL's request for server-side
//     decorations with client-side ones while the window is being shown
//     (cage, any wlroots compositor that prefers them) makes SDL take the
//     window's xdg role away to move it to libdecor; SDL shows it again only
//     if it already counts as shown, which it does not yet, so the window
//     stays without a role: nothing of it is ever on the screen and it never
//     gets a key. wl_show_window sees that and shows it once more, through
//     libdecor this time.
//   - ended: SDL never releases the libdecor frame of a window it destroys:
//     the frame's xdg_toplevel stays alive with SDL's freed window as its
//     data, and the next configure the compositor sends it (weston sends one
//     when the focus moves on while its close animation still holds the
//     surface) runs SDL's handler on freed memory. wl_window_ending, called
//     just before SDL_DestroyWindow, hides the window and releases that
//     frame.
//
// Elsewhere (X11, or no libdecor frame) they are SDL_ShowWindow and nothing.
#pragma once

struct SDL_Window;

namespace plat {

// Shows the window: true when it is on the screen as far as the window
// system has been asked, false when it got no role even when shown again
// (said once on standard error; it cannot be seen nor answered).
bool wl_show_window(SDL_Window *window);

// The window is about to be destroyed: hidden, and its libdecor frame, if
// SDL left one, released.
void wl_window_ending(SDL_Window *window);

}  // namespace plat
