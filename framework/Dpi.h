// Display scale. The program is per-monitor DPI aware: every size it sets in
// pixels is a size at 96 dots per inch, scaled by the DPI of the window it
// belongs to. The newer calls are looked up at run time, so the program still
// starts on systems that lack them and then uses the system DPI.
#pragma once

#include <windows.h>

// The DPI at which sizes are given, 100 %.
const UINT kBaseDpi = 96;

// A 96-DPI length at `dpi`, rounded to the nearest pixel.
int ScaleForDpi(int value, UINT dpi);
// A length at `dpi` back at 96 DPI, for storing in a scale-free form.
int UnscaleForDpi(int value, UINT dpi);

// The DPI a window is shown at: its monitor's, or the system's.
UINT DpiOfWindow(HWND window);
// The DPI of the monitor that holds most of `rect` (screen pixels).
UINT DpiOfRect(const RECT& rect);

// The user's menu font ("Make text bigger" and the display settings enlarge it) at `dpi`.
LOGFONTW MenuFont(UINT dpi);

// The small-icon size at `dpi`: the notification area's and a caption's icon.
int SmallIconSize(UINT dpi);

// The image set for `dpi`: 100, 150 or 200 (per cent), whichever is nearest.
int NearestImageScale(UINT dpi);
// The resource id of a picture drawn at `scale` per cent, from its id at 100 %.
int ScaledImageId(int imageId, int scale);

// The outer size of a window whose client area is `client`, at `dpi`.
SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi);

// The font the user chose for messages ("Make text bigger" enlarges it), at `dpi`; null when it cannot be made.
HFONT CreateMessageFont(UINT dpi);
