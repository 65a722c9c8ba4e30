// box_icon.cpp - icon theme lookup, PNG loading, and our own drawing.
#include "platform/sdl/box/box_icon.h"

#include <png.h>
#include <sys/stat.h>
#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include <windows.h>

namespace plat::box {

icon_kind icon_of_type(unsigned type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return icon_kind::error;
    case MB_ICONWARNING: return icon_kind::warning;
    case MB_ICONINFORMATION: return icon_kind::information;
    default: return icon_kind::none;
    }
}

namespace {

const char *icon_name(icon_kind kind) {
    switch (kind) {
    case icon_kind::information: return "dialog-information";
    case icon_kind::warning: return "dialog-warning";
    case icon_kind::error: return "dialog-error";
    default: return nullptr;
    }
}

bool is_file(const std::string &path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}
bool is_dir(const std::string &path) {
    struct stat s;
    return stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
}

std::string env_or(const char *name, const std::string &fallback) {
    const char *v = getenv(name);
    return v && *v ? v : fallback;
}

// Folders that hold icon themes, in the freedesktop order.
std::vector<std::string> icon_bases() {
    std::vector<std::string> bases;
    const std::string home = env_or("HOME", "");
    if (!home.empty()) bases.push_back(home + "/.icons");
    bases.push_back(env_or("XDG_DATA_HOME", home + "/.local/share") + "/icons");
    std::string dirs = env_or("XDG_DATA_DIRS", "/usr/local/share:/usr/share");
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        if (end > start) bases.push_back(dirs.substr(start, end - start) + "/icons");
        start = end + 1;
    }
    return bases;
}

// "key=value" of an ini-style file, or empty.
std::string ini_value(const std::string &path, const std::string &key) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string k = line.substr(0, eq), v = line.substr(eq + 1);
        auto trim = [](std::string &s) {
            s.erase(0, s.find_first_not_of(" \t\""));
            s.erase(s.find_last_not_of(" \t\"\r") + 1);
        };
        trim(k), trim(v);
        if (k == key) return v;
    }
    return "";
}

// The desktop's icon theme: GTK's setting (the user's, then the system's),
// else Adwaita; then the themes it inherits, and hicolor last.
std::vector<std::string> theme_chain(const std::vector<std::string> &bases) {
    std::string theme = ini_value(env_or("XDG_CONFIG_HOME", env_or("HOME", "") + "/.config") +
                                      "/gtk-3.0/settings.ini", "gtk-icon-theme-name");
    if (theme.empty()) theme = ini_value("/etc/gtk-3.0/settings.ini", "gtk-icon-theme-name");
    if (theme.empty()) theme = "Adwaita";
    std::vector<std::string> chain;
    std::vector<std::string> todo = {theme};
    while (!todo.empty() && chain.size() < 8) {
        std::string t = todo.front();
        todo.erase(todo.begin());
        if (t.empty() || std::find(chain.begin(), chain.end(), t) != chain.end()) continue;
        chain.push_back(t);
        for (const std::string &base : bases) {
            std::string inherits = ini_value(base + "/" + t + "/index.theme", "Inherits");
            if (inherits.empty()) continue;
            for (size_t s = 0; s <= inherits.size();) {
                size_t e = inherits.find(',', s);
                if (e == std::string::npos) e = inherits.size();
                todo.push_back(inherits.substr(s, e - s));
                s = e + 1;
            }
            break;
        }
    }
    if (std::find(chain.begin(), chain.end(), "hicolor") == chain.end()) chain.push_back("hicolor");
    return chain;
}

// <theme>/<N>x<N>/<context>/<name>.png for the best size: `size` itself,
// then larger ones (scaled down), then smaller ones.
std::string find_icon_file(const char *name, int size) {
    const std::vector<std::string> bases = icon_bases();
    const int sizes[] = {size, 48, 64, 96, 128, 256, 24, 22};
    for (const std::string &theme : theme_chain(bases))
        for (int n : sizes)
            for (const std::string &base : bases) {
                const std::string dir = base + "/" + theme + "/" + std::to_string(n) + "x" + std::to_string(n);
                if (!is_dir(dir)) continue;
                DIR *d = opendir(dir.c_str());
                if (!d) continue;
                std::string found;
                while (dirent *e = readdir(d)) {
                    if (e->d_name[0] == '.') continue;
                    std::string path = dir + "/" + e->d_name + "/" + name + ".png";
                    if (is_file(path)) {
                        found = path;
                        break;
                    }
                }
                closedir(d);
                if (!found.empty()) return found;
            }
    return "";
}

SDL_Surface *load_png(const std::string &path) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return nullptr;
    image.format = PNG_FORMAT_BGRA;  // ARGB8888 in memory on a little-endian machine
    SDL_Surface *s = SDL_CreateRGBSurfaceWithFormat(0, (int)image.width, (int)image.height, 32,
                                                    SDL_PIXELFORMAT_ARGB8888);
    if (!s) {
        png_image_free(&image);
        return nullptr;
    }
    if (!png_image_finish_read(&image, nullptr, s->pixels, s->pitch, nullptr)) {
        SDL_FreeSurface(s);
        return nullptr;
    }
    return s;
}

// Coverage of a pixel by a shape given as a signed distance (negative inside).
float cover(float distance) { return std::clamp(0.5f - distance, 0.0f, 1.0f); }

struct argb {
    float a, r, g, b;
};

// Paints `colour` over the pixel with coverage c.
void paint(argb &dst, float r, float g, float b, float c) {
    if (c <= 0) return;
    const float a = c + dst.a * (1 - c);
    if (a <= 0) return;
    dst.r = (r * c + dst.r * dst.a * (1 - c)) / a;
    dst.g = (g * c + dst.g * dst.a * (1 - c)) / a;
    dst.b = (b * c + dst.b * dst.a * (1 - c)) / a;
    dst.a = a;
}

float segment_distance(float px, float py, float ax, float ay, float bx, float by) {
    const float vx = bx - ax, vy = by - ay;
    const float t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0f, 1.0f);
    return std::hypot(px - (ax + t * vx), py - (ay + t * vy));
}

}  // namespace

SDL_Surface *drawn_icon(icon_kind kind, int size) {
    if (kind == icon_kind::none) return nullptr;
    SDL_Surface *s = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return nullptr;
    const float n = (float)size, c = n / 2;
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++) {
            const float px = x + 0.5f, py = y + 0.5f;
            argb p = {0, 0, 0, 0};
            if (kind == icon_kind::warning) {
                // a yellow triangle, a black "!"; the edge's signed distance
                // is the largest of the three sides' half-plane distances
                const float top = n * 0.07f, bottom = n * 0.91f, half = n * 0.47f;
                const float h = bottom - top, len = std::hypot(h, half);
                const float edge = std::max({(-h * (px - c) - half * (py - top)) / len,
                                             (h * (px - c) - half * (py - top)) / len, py - bottom});
                paint(p, 0.55f, 0.42f, 0.0f, cover(edge - n * 0.02f));
                paint(p, 1.0f, 0.80f, 0.10f, cover(edge + n * 0.04f));
                paint(p, 0.1f, 0.1f, 0.1f, cover(segment_distance(px, py, c, n * 0.36f, c, n * 0.64f) - n * 0.055f));
                paint(p, 0.1f, 0.1f, 0.1f, cover(std::hypot(px - c, py - n * 0.79f) - n * 0.065f));
            } else {
                const float r = n * 0.47f, d = std::hypot(px - c, py - c) - r;
                const bool error = kind == icon_kind::error;
                const float fr = error ? 0.80f : 0.13f, fg = error ? 0.12f : 0.42f, fb = error ? 0.10f : 0.80f;
                paint(p, fr * 0.7f, fg * 0.7f, fb * 0.7f, cover(d));
                paint(p, fr, fg, fb, cover(d + n * 0.04f));
                if (error) {
                    const float k = n * 0.22f, w = n * 0.06f;
                    paint(p, 1, 1, 1, cover(segment_distance(px, py, c - k, c - k, c + k, c + k) - w));
                    paint(p, 1, 1, 1, cover(segment_distance(px, py, c - k, c + k, c + k, c - k) - w));
                } else {
                    paint(p, 1, 1, 1, cover(std::hypot(px - c, py - n * 0.28f) - n * 0.07f));
                    paint(p, 1, 1, 1, cover(segment_distance(px, py, c, n * 0.44f, c, n * 0.76f) - n * 0.06f));
                }
            }
            Uint32 *row = (Uint32 *)((Uint8 *)s->pixels + y * s->pitch);
            auto byte = [](float v) { return (Uint32)std::lround(std::clamp(v, 0.0f, 1.0f) * 255); };
            row[x] = byte(p.a) << 24 | byte(p.r) << 16 | byte(p.g) << 8 | byte(p.b);
        }
    return s;
}

SDL_Surface *load_icon(icon_kind kind, int size, std::string *source) {
    const char *name = icon_name(kind);
    if (!name) return nullptr;
    const std::string path = find_icon_file(name, size);
    if (!path.empty()) {
        if (SDL_Surface *file = load_png(path)) {
            if (file->w == size && file->h == size) {
                if (source) *source = path;
                return file;
            }
            SDL_Surface *scaled = SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_ARGB8888);
            if (scaled && SDL_SoftStretchLinear(file, nullptr, scaled, nullptr) == 0) {
                SDL_FreeSurface(file);
                if (source) *source = path;
                return scaled;
            }
            if (scaled) SDL_FreeSurface(scaled);
            SDL_FreeSurface(file);
        }
    }
    if (source) *source = "drawn";
    return drawn_icon(kind, size);
}

}  // namespace plat::box
