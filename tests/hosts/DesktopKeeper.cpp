// Keeps Wine's virtual desktop open while the test groups run one after another:
// the desktop closes when its last process ends, and opening it again costs
// the next process about a second. It has no window; the Wine server's end
// (wine.stop) ends it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // A message queue makes this a process of the desktop.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    Sleep(INFINITE);
    return 0;
}
