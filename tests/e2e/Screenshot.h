// Saves what the screen shows, for a person to look at after a run.
#pragma once

#include <string>

// Writes the whole screen as a 24-bit BMP to `name`.bmp in the folder named by
// VELMORA_SHOTS; does nothing when that variable is not set.
void SaveScreenshot(const std::string& name);
