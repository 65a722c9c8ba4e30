// title_fit.h - a window's caption as the window system is given it when
// its title bar is too narrow for the whole text. A caption that ends in a
// number ("Kelvane-enabled Voxel Demo FPS: 3620") would lose the number
// first, as title bars cut the end; the shorter title puts the number (with
// the label just before it, a word ending in ':') first and the rest of
// the name after it, cut with "…" where it would not fit:
// "FPS: 3620 – Kelvane-enabled Vo…". A title bar that still cuts it cuts
// the name, never the number. Pure arithmetic over a text-measuring
// function, so it is tested without a display.
#pragma once
#include <functional>
#include <string>
#include <string_view>

namespace plat {

using title_measure = std::function<int(std::string_view)>;

// `caption` itself when it fits in `room` pixels or has no number at its
// end; otherwise the shorter title above, as much of the name as fits.
std::string fitted_title(std::string_view caption, int room, const title_measure &measure);

}  // namespace plat
