// display_surfaces.cpp - creating and releasing the display object, the
// primary and frame surfaces and the window clipper.
#include "voxel/display/bitmap.h"
#include "voxel/display/data_folder.h"
#include "voxel/display/display.h"
#include "voxel/display/display_errors.h"
#include "voxel/render/terrain.h"

LPDIRECTDRAW display_object;
LPDIRECTDRAWSURFACE primary_surface;
LPDIRECTDRAWSURFACE frame_surface;
LPDIRECTDRAWCLIPPER window_clipper;
uint32_t surface_width, surface_height;
DDSURFACEDESC primary_description;

// Shows the failed step, undoes everything made so far and hands the code on.
static HRESULT fail_step(const char *label, HRESULT code) {
    report_display_error(label, code);
    release_display();
    return code;
}

static HRESULT create_primary_surface() {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    LPDIRECTDRAWSURFACE surface = NULL;
    const HRESULT hr = IDirectDraw_CreateSurface(display_object, &desc, &surface, NULL);
    if (hr == DD_OK)
        primary_surface = surface;
    return hr;
}

// Plain system memory in the display's own pixel format (none is named).
static HRESULT create_frame_surface(int width, int height) {
    DDSURFACEDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwHeight = DWORD(height);
    desc.dwWidth = DWORD(width);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    LPDIRECTDRAWSURFACE surface = NULL;
    const HRESULT hr = IDirectDraw_CreateSurface(display_object, &desc, &surface, NULL);
    if (hr == DD_OK)
        frame_surface = surface;
    return hr;
}

HRESULT init_display(HWND window, int width, int height) {
    HRESULT hr;

    // display object for the default driver, windowed
    LPDIRECTDRAW object = NULL;
    if ((hr = DirectDrawCreate(NULL, &object, NULL)) != DD_OK)
        return fail_step("DirectDrawCreate", hr);
    display_object = object;
    if ((hr = IDirectDraw_SetCooperativeLevel(display_object, window, DDSCL_NORMAL)) != DD_OK)
        return fail_step("SetCooperativeLevel", hr);

    // the desktop and the frame's own surface
    if ((hr = create_primary_surface()) != DD_OK)
        return fail_step("CreateSurface Primary", hr);
    if ((hr = create_frame_surface(width, height)) != DD_OK)
        return fail_step("CreateSurface Offscreen", hr);

    // at 8 bits the colours come from the colour map's own table
    if (pixel_depth == 0)
        read_bitmap_palette(data_file("heightc2.bmp").c_str());

    // clipper bound to the window, attached to the desktop
    LPDIRECTDRAWCLIPPER clipper = NULL;
    if ((hr = IDirectDraw_CreateClipper(display_object, 0, &clipper, NULL)) != DD_OK)
        return fail_step("IDirectDraw_CreateClipper", hr);
    window_clipper = clipper;
    if ((hr = IDirectDrawClipper_SetHWnd(window_clipper, 0, window)) != DD_OK)
        return fail_step("IDirectDrawClipper_SetHWnd", hr);
    if ((hr = IDirectDrawSurface_SetClipper(primary_surface, window_clipper)) != DD_OK)
        return fail_step("SetClipper", hr);

    // the desktop's pixel format
    primary_description = {};
    primary_description.dwSize = sizeof primary_description;
    if ((hr = IDirectDrawSurface_GetSurfaceDesc(primary_surface, &primary_description)) != DD_OK)
        return fail_step("GetSurfaceDesc", hr);

    surface_width = uint32_t(width);
    surface_height = uint32_t(height);
    return DD_OK;
}

void release_display() {
    if (display_object) {
        if (primary_surface)
            IDirectDrawSurface_Release(primary_surface);
        primary_surface = NULL;
        if (frame_surface)
            IDirectDrawSurface_Release(frame_surface);
        frame_surface = NULL;
        if (window_clipper)
            IDirectDrawClipper_Release(window_clipper);
        window_clipper = NULL;
        IDirectDraw_Release(display_object);
        display_object = NULL;
    }
    surface_width = 0;
    surface_height = 0;
}
