// The user's own Velmora folder on this PC, where settings.dat and the files
// beside it live.
#pragma once

#include <string>

// The local application data folder's Velmora folder, ending with a backslash;
// empty when Windows does not say.
std::string UserSettingsFolder();
