// ddraw_internal.h - lookups shared by the DirectDraw files.
#pragma once
#include "platform/state.h"

namespace plat {

dd_display *find_display(LPDIRECTDRAW dd);
dd_surface *find_surface(LPDIRECTDRAWSURFACE surface);
dd_clipper *find_clipper(LPDIRECTDRAWCLIPPER clipper);
void drop_clipper_reference(uintptr_t clipper);
// First byte and pitch of a surface's pixels (the desktop for the primary).
uint8_t *surface_pixels(dd_surface &s);
int surface_pitch(const dd_surface &s);
// The pitch of an off-screen surface: larger than width x bytes per pixel.
int offscreen_pitch(int width, int bits);

}  // namespace plat
