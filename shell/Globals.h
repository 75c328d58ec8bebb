// The process-wide objects every part of the program reaches: the settings
// record and the two pages that live as long as the process.
#pragma once

#include "search_page/CWindowWiperEntries.h"
#include "settings/CWindowSettings.h"
#include "settings/CWiperSettings.h"

extern CWiperSettings wiperSettings;
extern CWindowSettings settingsPage;
extern CWindowWiperEntries searchPage;
