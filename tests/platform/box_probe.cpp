// box_probe - shows one message box through the platform layer and, once
// it is closed, prints what the sdl backend reported about it (for the
// message-box CI step and the README's timing):
//
//   box_probe voxel|fir SLOT information|warning|error|none
//       a catalogue text of the system locale's language, the next slot as
//       its caption
//   box_probe data SLOT information|warning|error|none
//       the words of one of voxel's data boxes, voxel's title as caption
//   box_probe text TEXT CAPTION information|warning|error|none
//
// Output: "appear_ms=N lines=N missing_glyphs=N width=N height=N
// text=X,Y,W line_height=N line_widths=W1,W2,... icon=SOURCE" (shown=0 when no window was drawn).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/checks.h"
#include "common/messages.h"
#include "platform/sdl/box/box.h"

static UINT icon_flag(const char *name) {
    if (!strcmp(name, "information")) return MB_ICONINFORMATION;
    if (!strcmp(name, "warning")) return MB_ICONWARNING;
    if (!strcmp(name, "error")) return MB_ICONERROR;
    return 0;
}

int main(int argc, char **argv) {
    const bool own_text = argc > 1 && !strcmp(argv[1], "text");
    if (argc != (own_text ? 5 : 4)) {
        fprintf(stderr, "usage: box_probe voxel|fir|data SLOT ICON | text TEXT CAPTION ICON\n");
        return 2;
    }
    const char *text, *caption;
    if (own_text) {
        text = argv[2], caption = argv[3];
    } else if (!strcmp(argv[1], "data")) {
        const int slot = atoi(argv[2]);
        if (slot < 0 || slot >= data_slot_count) return 2;
        const unsigned language = select_language();
        text = voxel_data_messages[language][slot], caption = voxel_messages[language][3];
    } else {
        const int slot = atoi(argv[2]);
        const bool voxel = !strcmp(argv[1], "voxel");
        const int slots = voxel ? voxel_slot_count : fir_slot_count;
        if (slot < 0 || slot + 1 >= slots) return 2;
        const unsigned language = select_language();
        current_messages = voxel ? voxel_messages[language] : fir_messages[language];
        text = current_messages[slot], caption = current_messages[slot + 1];
    }
    MessageBoxA(NULL, text, caption, icon_flag(argv[argc - 1]));
    const plat::box_report &r = plat::sdl_last_box();
    if (!r.shown) {
        printf("shown=0\n");
        return 0;
    }
    std::string widths;
    for (int w : r.line_widths) widths += (widths.empty() ? "" : ",") + std::to_string(w);
    printf("appear_ms=%u lines=%d missing_glyphs=%d width=%d height=%d text=%d,%d,%d line_height=%d line_widths=%s icon=%s\n",
           r.appear_ms, r.lines, r.missing_glyphs, r.width, r.height, r.text_x, r.text_y, r.text_width,
           r.line_height, widths.c_str(), r.icon_source.empty() ? "none" : r.icon_source.c_str());
    return 0;
}
