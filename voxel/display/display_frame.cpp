// display_frame.cpp - one frame through the display: lock, unlock, the copy
// onto the window, and the recovery of lost surfaces.
#include "voxel/display/bitmap.h"
#include "voxel/display/data_folder.h"
#include "voxel/display/display.h"
#include "voxel/display/display_errors.h"
#include "voxel/render/terrain.h"
#include "voxel/shell/shell.h"

// Locks the whole frame surface, waiting while it is busy.
static HRESULT lock_whole_surface(DDSURFACEDESC *desc) {
    *desc = {};
    desc->dwSize = sizeof *desc;
    return IDirectDrawSurface_Lock(frame_surface, NULL, desc, DDLOCK_WAIT, NULL);
}

HRESULT lock_frame(uint8_t **pixels, uint32_t *width, uint32_t *height, int32_t *pitch) {
    if (!frame_surface)
        return DDERR_GENERIC;

    // A surface lost to another program or to a display mode change is
    // recovered here as in the copy; otherwise a lost frame surface would
    // fail every later lock and never reach the copy's recovery. A frame
    // whose recovery gives up is skipped without a box.
    DDSURFACEDESC desc;
    HRESULT hr = lock_whole_surface(&desc);
    if (hr == DDERR_SURFACELOST) {
        if (restore_display() != 1 || !frame_surface)
            return hr;
        hr = lock_whole_surface(&desc);
    }
    if (hr != DD_OK) {
        report_display_error("IDirectDrawSurface_Lock", hr);
        return hr;
    }

    // rows lie the platform's pitch apart, which may exceed width x bytes per pixel
    *pixels = static_cast<uint8_t *>(desc.lpSurface);
    *width = desc.dwWidth;
    *height = desc.dwHeight;
    *pitch = desc.lPitch;
    return DD_OK;
}

HRESULT unlock_frame(void *pixels) {
    return IDirectDrawSurface_Unlock(frame_surface, pixels);
}

// The frame surface, stretched over the window's client area in screen coordinates.
static HRESULT copy_to_window(HWND window) {
    RECT source = {0, 0, LONG(surface_width), LONG(surface_height)};
    RECT client;
    GetClientRect(window, &client);
    POINT top_left = {client.left, client.top};
    POINT bottom_right = {client.right, client.bottom};
    ClientToScreen(window, &top_left);
    ClientToScreen(window, &bottom_right);
    RECT destination = {top_left.x, top_left.y, bottom_right.x, bottom_right.y};
    return IDirectDrawSurface_Blt(primary_surface, &destination, frame_surface, &source,
                                  DDBLT_WAIT, NULL);
}

HRESULT present_frame(HWND window) {
    if (!frame_surface)
        return DDERR_GENERIC;

    // at 8 bits the window's palette is rebuilt for every frame
    if (pixel_depth == 0) {
        clear_system_palette();
        realize_image_palette();
    }

    // A lost surface is restored and the copy tried once more; any other
    // failure is shown once and the frame dropped, so that a persistent
    // failure never loops.
    HRESULT hr = copy_to_window(window);
    if (hr == DDERR_SURFACELOST) {
        if (restore_display() == 0 || !frame_surface)
            return DD_OK;
        hr = copy_to_window(window);
        if (hr == DDERR_SURFACELOST)
            return DD_OK;
    }
    if (hr != DD_OK)
        report_display_error("IDirectDrawSurface_Blt", hr);
    return hr;
}

int restore_display() {
    const HRESULT hr = IDirectDrawSurface_Restore(primary_surface);
    if (hr == DDERR_WRONGMODE) {
        // The display mode changed: everything is taken anew at the new
        // depth. The old display object and clipper go too, since the
        // re-initialisation makes new ones.
        int32_t width, height;
        if (read_bitmap_size(data_file("heightd2.bmp").c_str(), &width, &height) != 0)
            return 0;
        release_display();
        return init_demo(main_window, width, height);
    }
    return IDirectDrawSurface_Restore(frame_surface) == DD_OK ? 1 : 0;
}
