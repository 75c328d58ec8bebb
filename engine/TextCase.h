#pragma once

#include <string>

// Lower-cases UTF-8 text. The Windows build lowers every letter the system knows; the portable
// build, used only by the native tests, lowers ASCII letters.
std::string LowerText(const std::string& utf8);
