// box_icon.h - the icon of a message box: information (0x40), warning
// (0x30) or error (0x10). Taken from the desktop's icon theme
// (freedesktop names dialog-information, dialog-warning, dialog-error, as
// PNG) where it has them, drawn here otherwise.
#pragma once
#include <SDL.h>

#include <string>

namespace plat::box {

enum class icon_kind { none, information, warning, error };

icon_kind icon_of_type(unsigned type);

// A `size` x `size` ARGB surface (the caller frees it), or null for none.
// *source says where it came from (a file, or "drawn").
SDL_Surface *load_icon(icon_kind kind, int size, std::string *source);

// The icon drawn by us.
SDL_Surface *drawn_icon(icon_kind kind, int size);

}  // namespace plat::box
