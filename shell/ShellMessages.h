// Messages the application shell's windows send to their owners.
#pragma once

#include <windows.h>

// The splitter bar was dragged; lParam is the signed distance in pixels.
const UINT WM_SPLITTER_MOVED = WM_USER + 8978;
