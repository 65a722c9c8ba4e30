// display_palette.cpp - the window's palette at 8 bits per pixel, rebuilt
// before every copy: the system palette is first blackened, then the colour
// map's colours are realised in the entries that programs may change.
#include "voxel/display/bitmap.h"
#include "voxel/display/display.h"
#include "voxel/shell/shell.h"

logical_palette_256 window_palette;

constexpr WORD palette_version = 0x0300;
constexpr int first_free_entry = 10;   // 0-9 and 246-255 are the static colours
constexpr int free_entry_count = 236;

// Makes a palette of `colours`, realises it in the foreground of `dc`, then
// selects the earlier palette back and deletes the new one (a palette still
// selected cannot be freed). The realised colours stay in the system
// palette. A palette that cannot be made is simply not selected.
static void realize_once(HDC dc, const logical_palette_256 &colours) {
    const HPALETTE palette = CreatePalette(reinterpret_cast<const LOGPALETTE *>(&colours));
    if (!palette)
        return;
    const HPALETTE previous = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
    SelectPalette(dc, previous, FALSE);
    DeleteObject(palette);
}

void clear_system_palette() {
    // an all-black palette that no entry may collapse into another
    static logical_palette_256 black;
    black.palVersion = palette_version;
    black.palNumEntries = 256;
    for (PALETTEENTRY &entry : black.palPalEntry)
        entry = {0, 0, 0, PC_NOCOLLAPSE};

    // realise it on the whole screen, then put the screen's palette back
    const HDC screen = GetDC(NULL);
    realize_once(screen, black);
    ReleaseDC(NULL, screen);
}

void realize_image_palette() {
    // start from the system palette as it stands, static colours included
    const HDC screen = GetDC(NULL);
    GetSystemPaletteEntries(screen, 0, 256, window_palette.palPalEntry);
    ReleaseDC(NULL, screen);

    // the colour map's colours in the entries programs may change
    for (int i = first_free_entry; i < first_free_entry + free_entry_count; ++i) {
        const palette_entry &colour = image_palette[i];
        window_palette.palPalEntry[i] = {colour.red, colour.green, colour.blue, PC_NOCOLLAPSE};
    }

    // realise it for the demo window
    window_palette.palVersion = palette_version;
    window_palette.palNumEntries = 256;
    const HDC dc = GetDC(main_window);
    realize_once(dc, window_palette);
    ReleaseDC(main_window, dc);
}
