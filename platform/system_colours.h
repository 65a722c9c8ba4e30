// system_colours.h - the 20 static colours that an 8-bit display keeps in
// system palette entries 0-9 and 246-255, whatever a program realises.
#pragma once
#include <array>
#include <cstdint>

struct system_colour {
    uint8_t red, green, blue;
};

// Entries 0-9, then 246-255.
constexpr std::array<system_colour, 20> system_static_colours = {{
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
    {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
    {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
    {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
}};

// The static colour of system palette entry `index` (0-9 or 246-255).
constexpr system_colour static_colour_of(int index) {
    return system_static_colours[index < 10 ? index : index - 236];
}
