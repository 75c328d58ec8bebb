#include "shell/Globals.h"

CWiperSettings wiperSettings;
CWindowSettings settingsPage(&wiperSettings);
CWindowWiperEntries searchPage;
