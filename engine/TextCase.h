#pragma once

#include <string>

// Lower-cases UTF-8 text. The Windows build lowers every letter the system knows; the portable
// build, used only by the native tests, lowers ASCII letters.
std::string LowerText(const std::string& utf8);

// Lowers wide text in place, one character at a time, as the file system's paths are compared
// (the Windows build with the system's table; the portable one with the C.UTF-8 locale's).
void LowerWide(std::wstring& text);
