#include "tests/e2e/Screenshot.h"

#include "framework/Text.h"
#include "tests/support/ScreenCapture.h"

#include <cstdlib>

void SaveScreenshot(const std::string& name)
{
    const char* folder = std::getenv("VELMORA_SHOTS");
    if (!folder || !*folder)
        return;
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SaveScreenArea(screen, Widen(std::string(folder) + "\\" + name + ".bmp"));
}
