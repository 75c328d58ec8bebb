// What the screen shows, saved for a person to look at.
#pragma once

#include <windows.h>

#include <string>

// Writes the part of the screen inside `area` as a 24-bit BMP; false when the file could not be written.
bool SaveScreenArea(const RECT& area, const std::wstring& path);
