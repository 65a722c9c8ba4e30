// display.h - the display surfaces between a finished frame and the window.
//
//   init_display(window, width, height);     // object, surfaces, clipper
//   uint8_t *pixels; uint32_t w, h; int32_t pitch;
//   if (lock_frame(&pixels, &w, &h, &pitch) == DD_OK) {
//       ... write w x h pixels, rows `pitch` bytes apart ...
//       unlock_frame(pixels);
//       present_frame(window);              // copy onto the window, stretched
//   }
//   release_display();
//
// Every platform failure is shown with report_display_error under the label
// of the failed step. Without a frame surface (initialisation failed) lock and
// present answer DDERR_GENERIC and show nothing, so the demo runs on with an
// empty window.
#pragma once
#include <ddraw.h>
#include <windows.h>

#include <cstdint>

extern LPDIRECTDRAW display_object;
extern LPDIRECTDRAWSURFACE primary_surface;   // the visible desktop
extern LPDIRECTDRAWSURFACE frame_surface;     // off-screen, system memory, display format
extern LPDIRECTDRAWCLIPPER window_clipper;    // bound to the demo window
extern uint32_t surface_width, surface_height; // 0 while there is no frame surface
extern DDSURFACEDESC primary_description;     // read at initialisation; red mask of 16 bits

// A logical palette of all 256 entries, laid out as LOGPALETTE.
struct logical_palette_256 {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[256];
};
extern logical_palette_256 window_palette;

// 0, or the code of the first failed step (after its report and release_display).
HRESULT init_display(HWND window, int width, int height);
void release_display();

HRESULT lock_frame(uint8_t **pixels, uint32_t *width, uint32_t *height, int32_t *pitch);
HRESULT unlock_frame(void *pixels);
// 0 also when the frame was given up after a lost surface; a failed copy's
// code after its report.
HRESULT present_frame(HWND window);

// 1: surfaces restored, copy again; 0: give up this frame; after a display
// mode change the result of init_demo (0 or -1).
int restore_display();

void clear_system_palette();
void realize_image_palette();
