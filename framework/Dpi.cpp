#include "framework/Dpi.h"

#include "resources/resource.h"

namespace
{
using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
using GetDpiForMonitorCall = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetSystemMetricsForDpiCall = int(WINAPI*)(int, UINT);
using AdjustWindowRectExForDpiCall = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
using SystemParametersInfoForDpiCall = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

// MDT_EFFECTIVE_DPI: the DPI the user chose for the monitor.
const int kEffectiveDpi = 0;

template <typename Call> Call Lookup(const wchar_t* library, const char* name)
{
    HMODULE module = GetModuleHandleW(library);
    if (!module)
        module = LoadLibraryW(library);
    return module ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

UINT SystemDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}
}

int ScaleForDpi(int value, UINT dpi)
{
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

int UnscaleForDpi(int value, UINT dpi)
{
    return dpi == 0 ? value : MulDiv(value, static_cast<int>(kBaseDpi), static_cast<int>(dpi));
}

UINT DpiOfWindow(HWND window)
{
    static const auto getDpiForWindow = Lookup<GetDpiForWindowCall>(L"user32.dll", "GetDpiForWindow");
    UINT dpi = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

UINT DpiOfRect(const RECT& rect)
{
    static const auto getDpiForMonitor = Lookup<GetDpiForMonitorCall>(L"shcore.dll", "GetDpiForMonitor");
    UINT dpiX = 0, dpiY = 0;
    if (getDpiForMonitor &&
        SUCCEEDED(getDpiForMonitor(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), kEffectiveDpi, &dpiX, &dpiY)) &&
        dpiY)
        return dpiY;
    return SystemDpi();
}

LOGFONTW MenuFont(UINT dpi)
{
    static const auto parametersForDpi =
        Lookup<SystemParametersInfoForDpiCall>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (parametersForDpi && parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi))
        return metrics.lfMenuFont;
    // Older systems give the font at the system DPI.
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    metrics.lfMenuFont.lfHeight =
        MulDiv(metrics.lfMenuFont.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return metrics.lfMenuFont;
}

int SmallIconSize(UINT dpi)
{
    static const auto metricsForDpi = Lookup<GetSystemMetricsForDpiCall>(L"user32.dll", "GetSystemMetricsForDpi");
    int size = metricsForDpi ? metricsForDpi(SM_CXSMICON, dpi) : 0;
    if (size > 0)
        return size;
    return MulDiv(GetSystemMetrics(SM_CXSMICON), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

int NearestImageScale(UINT dpi)
{
    // Halfway between the sets: 125 % and 175 %.
    if (dpi < kBaseDpi * 5 / 4)
        return 100;
    return dpi < kBaseDpi * 7 / 4 ? 150 : 200;
}

int ScaledImageId(int imageId, int scale)
{
    if (scale >= 200)
        return imageId + IDB_SCALE_200_OFFSET;
    return scale >= 150 ? imageId + IDB_SCALE_150_OFFSET : imageId;
}

SIZE WindowSizeForClient(SIZE client, DWORD style, DWORD exStyle, UINT dpi)
{
    static const auto adjustForDpi =
        Lookup<AdjustWindowRectExForDpiCall>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT rect = {0, 0, client.cx, client.cy};
    if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi))
        AdjustWindowRectEx(&rect, style, FALSE, exStyle);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

HFONT CreateMessageFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return nullptr;
    // The setting is given at the system's DPI.
    LOGFONTW& font = metrics.lfMessageFont;
    font.lfHeight = MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
    return CreateFontIndirectW(&font);
}
