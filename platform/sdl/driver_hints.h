// driver_hints.h - what the sdl backend asks of SDL per video driver.
#pragma once
#include <string_view>

namespace plat {

// True where SDL's window surface is to be its own framebuffer rather than
// a GL texture: on X11, whose framebuffer SDL puts as a shared-memory image
// (a texture a machine without a GPU draws in software at several
// milliseconds a frame). Anywhere else SDL may have no framebuffer but the
// texture (Wayland), and turning it off would leave windows with nothing to
// draw on.
constexpr bool framebuffer_acceleration_off(std::string_view driver) { return driver == "x11"; }

}  // namespace plat
