// ddraw.h - the DirectDraw subset the demos use, in C style: the objects are
// opaque handles and every operation is a function named like the C macros
// of DirectDraw (IDirectDrawSurface_Lock(surface, ...)).
//
//   LPDIRECTDRAW dd;
//   DirectDrawCreate(NULL, &dd, NULL);
//   IDirectDraw_SetCooperativeLevel(dd, hwnd, DDSCL_NORMAL);
//   DDSURFACEDESC desc = {}; desc.dwSize = sizeof(desc);
//   desc.dwFlags = DDSD_CAPS; desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
//   IDirectDraw_CreateSurface(dd, &desc, &primary, NULL);
//   ...
//   IDirectDrawSurface_Release(primary); IDirectDraw_Release(dd);
//
// The display: one desktop of the platform's size and pixel format (see
// PLATFORM_DISPLAY_DEPTH). The primary surface is the desktop; what lies under
// a window's client area is what the window shows. Off-screen surfaces live in
// system memory in the display format; rows are `lPitch` bytes apart, and the
// pitch is larger than width x bytes per pixel. Memory layout per depth:
// 8 bits: indexes into the system palette; 16: the little-endian 5-6-5 (or
// 5-5-5) word; 24: blue, green, red; 32: blue, green, red, unused.
//
// Every description passed in must have dwSize == sizeof(DDSURFACEDESC), else
// the call fails with DDERR_INVALIDPARAMS. A handle that was released is
// answered with DDERR_INVALIDOBJECT. Releasing the display object releases the
// surfaces and clippers it made that are still alive.
#pragma once
#include <windows.h>

struct IDirectDraw__;
struct IDirectDrawSurface__;
struct IDirectDrawClipper__;
typedef struct IDirectDraw__ *LPDIRECTDRAW;
typedef struct IDirectDrawSurface__ *LPDIRECTDRAWSURFACE;
typedef struct IDirectDrawClipper__ *LPDIRECTDRAWCLIPPER;
typedef struct IUnknown IUnknown;
typedef struct _GUID GUID;

typedef struct _DDCOLORKEY {
    DWORD dwColorSpaceLowValue;
    DWORD dwColorSpaceHighValue;
} DDCOLORKEY;

typedef struct _DDPIXELFORMAT {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
} DDPIXELFORMAT, *LPDDPIXELFORMAT;

typedef struct _DDSCAPS {
    DWORD dwCaps;
} DDSCAPS, *LPDDSCAPS;

// The fields of DirectDraw's description in their order; 108 bytes on a
// 32-bit system, larger here because of the 64-bit address. Use sizeof.
typedef struct _DDSURFACEDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    LPVOID lpSurface;
    DDCOLORKEY ddckCKDestOverlay;
    DDCOLORKEY ddckCKDestBlt;
    DDCOLORKEY ddckCKSrcOverlay;
    DDCOLORKEY ddckCKSrcBlt;
    DDPIXELFORMAT ddpfPixelFormat;
    DDSCAPS ddsCaps;
} DDSURFACEDESC, *LPDDSURFACEDESC;

typedef struct _DDBLTFX DDBLTFX, *LPDDBLTFX;

// ---- flags ---------------------------------------------------------------------
#define DDSCL_FULLSCREEN 0x00000001L
#define DDSCL_ALLOWREBOOT 0x00000002L
#define DDSCL_NOWINDOWCHANGES 0x00000004L
#define DDSCL_NORMAL 0x00000008L
#define DDSCL_EXCLUSIVE 0x00000010L

#define DDSD_CAPS 0x00000001L
#define DDSD_HEIGHT 0x00000002L
#define DDSD_WIDTH 0x00000004L
#define DDSD_PITCH 0x00000008L
#define DDSD_LPSURFACE 0x00000800L
#define DDSD_PIXELFORMAT 0x00001000L

#define DDSCAPS_OFFSCREENPLAIN 0x00000040L
#define DDSCAPS_PRIMARYSURFACE 0x00000200L
#define DDSCAPS_SYSTEMMEMORY 0x00000800L
#define DDSCAPS_VIDEOMEMORY 0x00004000L

#define DDPF_PALETTEINDEXED8 0x00000020L
#define DDPF_RGB 0x00000040L

#define DDLOCK_SURFACEMEMORYPTR 0x00000000L
#define DDLOCK_WAIT 0x00000001L

#define DDBLT_WAIT 0x01000000L

// ---- result codes --------------------------------------------------------------
#define MAKE_DDHRESULT(code) ((HRESULT)(0x88760000UL | (code)))
#define DD_OK ((HRESULT)0)
#define DDERR_GENERIC E_FAIL
#define DDERR_INVALIDPARAMS E_INVALIDARG
#define DDERR_OUTOFMEMORY E_OUTOFMEMORY
#define DDERR_UNSUPPORTED E_NOTIMPL
#define DDERR_INVALIDCAPS MAKE_DDHRESULT(100)
#define DDERR_INVALIDOBJECT MAKE_DDHRESULT(130)
#define DDERR_INVALIDPIXELFORMAT MAKE_DDHRESULT(145)
#define DDERR_INVALIDRECT MAKE_DDHRESULT(150)
#define DDERR_LOCKEDSURFACES MAKE_DDHRESULT(160)
#define DDERR_NOCOOPERATIVELEVELSET MAKE_DDHRESULT(212)
#define DDERR_SURFACEBUSY MAKE_DDHRESULT(430)
#define DDERR_SURFACELOST MAKE_DDHRESULT(450)
#define DDERR_UNSUPPORTEDMODE MAKE_DDHRESULT(590)
#define DDERR_PRIMARYSURFACEALREADYEXISTS MAKE_DDHRESULT(564)
#define DDERR_CLIPPERISUSINGHWND MAKE_DDHRESULT(567)
#define DDERR_NOCLIPPERATTACHED MAKE_DDHRESULT(568)
#define DDERR_NOHWND MAKE_DDHRESULT(569)
#define DDERR_HWNDALREADYSET MAKE_DDHRESULT(571)
#define DDERR_NOTLOCKED MAKE_DDHRESULT(584)
#define DDERR_WRONGMODE MAKE_DDHRESULT(587)
#define DDERR_INVALIDSURFACETYPE MAKE_DDHRESULT(592)

// ---- operations ----------------------------------------------------------------
// Only the default display (guid NULL) exists; outer must be NULL.
HRESULT WINAPI DirectDrawCreate(GUID *guid, LPDIRECTDRAW *dd, IUnknown *outer);
// DDSCL_NORMAL with a window, or DDSCL_NORMAL alone; exclusive modes are
// DDERR_UNSUPPORTED here (no display mode change).
HRESULT IDirectDraw_SetCooperativeLevel(LPDIRECTDRAW dd, HWND hwnd, DWORD flags);
// Primary: DDSD_CAPS with DDSCAPS_PRIMARYSURFACE, no size (one per display
// object). Off-screen: DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT with
// DDSCAPS_OFFSCREENPLAIN (system memory either way); a DDSD_PIXELFORMAT must
// equal the display's. Needs the cooperative level set. New memory is zero.
HRESULT IDirectDraw_CreateSurface(LPDIRECTDRAW dd, LPDDSURFACEDESC desc,
                                  LPDIRECTDRAWSURFACE *surface, IUnknown *outer);
HRESULT IDirectDraw_CreateClipper(LPDIRECTDRAW dd, DWORD flags, LPDIRECTDRAWCLIPPER *clipper,
                                  IUnknown *outer);
// Release operations answer the remaining reference count (0: gone).
ULONG IDirectDraw_Release(LPDIRECTDRAW dd);

// Lock: rect NULL for the whole surface (or a rectangle inside it); fills
// the description with width, height, pitch, address, pixel format and caps.
// A locked surface answers a second Lock, and a Blt, with DDERR_SURFACEBUSY.
HRESULT IDirectDrawSurface_Lock(LPDIRECTDRAWSURFACE surface, LPRECT rect, LPDDSURFACEDESC desc,
                                DWORD flags, HANDLE event);
// address: the one Lock gave, or NULL.
HRESULT IDirectDrawSurface_Unlock(LPDIRECTDRAWSURFACE surface, LPVOID address);
// Copies src_rect of src (NULL: all of it) to dst_rect of dst (NULL: all of
// it), stretching or shrinking by nearest pixel, clipped to the visible client
// area of the clipper's window when dst has a clipper, and always to dst.
// Flags: DDBLT_WAIT or 0; fx must be NULL. Rectangles are right/bottom
// exclusive and must be non-empty and, for the source, inside the surface.
// A lost source or destination gives DDERR_SURFACELOST.
HRESULT IDirectDrawSurface_Blt(LPDIRECTDRAWSURFACE dst, LPRECT dst_rect, LPDIRECTDRAWSURFACE src,
                               LPRECT src_rect, DWORD flags, LPDDBLTFX fx);
// Gets the memory of a lost surface back (contents undefined: zero here).
// DDERR_WRONGMODE when the display mode is not the one the surface was made
// in; such a surface can only be released.
HRESULT IDirectDrawSurface_Restore(LPDIRECTDRAWSURFACE surface);
HRESULT IDirectDrawSurface_IsLost(LPDIRECTDRAWSURFACE surface);
HRESULT IDirectDrawSurface_GetSurfaceDesc(LPDIRECTDRAWSURFACE surface, LPDDSURFACEDESC desc);
// Attaches (or with NULL detaches) a clipper; only on the primary surface.
HRESULT IDirectDrawSurface_SetClipper(LPDIRECTDRAWSURFACE surface, LPDIRECTDRAWCLIPPER clipper);
ULONG IDirectDrawSurface_Release(LPDIRECTDRAWSURFACE surface);

HRESULT IDirectDrawClipper_SetHWnd(LPDIRECTDRAWCLIPPER clipper, DWORD flags, HWND hwnd);
ULONG IDirectDrawClipper_Release(LPDIRECTDRAWCLIPPER clipper);
