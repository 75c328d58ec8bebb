#include "framework/CWnd.h"

#include "framework/Text.h"

#include <vector>

CWnd::~CWnd()
{
    if (hwnd && FromHandle(hwnd) == this)
        Unbind();
    hwnd = nullptr;
}

void CWnd::Unbind()
{
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    // A subclassed window that outlives us goes back to its class's procedure.
    if (originalProc)
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc));
    originalProc = nullptr;
}

bool CWnd::RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HICON smallIcon,
                               HCURSOR cursor, HBRUSH background)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = StaticWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hIconSm = smallIcon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWnd::RegisterDialogClass(const wchar_t* className, HICON icon)
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = StaticWindowProc;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = icon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = className;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWnd::Create(const wchar_t* className, const std::string& title, DWORD style, DWORD exStyle,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId)
{
    HWND created = CreateWindowExW(exStyle, className, Widen(title).c_str(), style, x, y, width, height,
                                   parent, menuOrId, GetModuleHandleW(nullptr), this);
    return created != nullptr;
}

CWnd* CWnd::FromHandle(HWND window)
{
    return reinterpret_cast<CWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool CWnd::SubclassControl(HWND window)
{
    if (!window || hwnd || FromHandle(window))
        return false;
    hwnd = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    originalProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWindowProc)));
    if (originalProc)
        return true;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    hwnd = nullptr;
    return false;
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (originalProc)
        return CallWindowProcW(originalProc, hwnd, message, wParam, lParam);
    if (dialogDefaults)
        return DefDlgProcW(hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* self = FromHandle(window);
    if (message == WM_NCCREATE)
    {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd = window;
        self->dialogDefaults = GetClassLongPtrW(window, GCL_CBWNDEXTRA) >= DLGWINDOWEXTRA;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    LRESULT result = self->WindowProc(message, wParam, lParam);
    if (message == WM_NCDESTROY)
    {
        self->Unbind();
        self->hwnd = nullptr;
    }
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && OnCommand(LOWORD(wParam), HIWORD(wParam)))
        return 0;
    return Default(message, wParam, lParam);
}

bool CWnd::OnCommand(int, int)
{
    return false;
}

void CWnd::SetText(const std::string& text)
{
    SetWindowTextW(hwnd, Widen(text).c_str());
}

std::string CWnd::GetText() const
{
    return GetWindowTextUtf8(hwnd);
}

void CWnd::SetItemText(int id, const std::string& text)
{
    SetDlgItemTextW(hwnd, id, Widen(text).c_str());
}

std::string CWnd::GetItemText(int id) const
{
    return GetWindowTextUtf8(GetItem(id));
}

void CWnd::ShowItem(int id, bool show)
{
    ShowWindow(GetItem(id), show ? SW_SHOW : SW_HIDE);
}

void CWnd::EnableItem(int id, bool enable)
{
    EnableWindow(GetItem(id), enable);
}

void CWnd::DestroyWindow()
{
    if (hwnd)
        ::DestroyWindow(hwnd);
}

std::string GetWindowTextUtf8(HWND window)
{
    int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return std::string();
    std::vector<wchar_t> buffer(length + 1);
    int copied = GetWindowTextW(window, buffer.data(), length + 1);
    return Narrow(std::wstring(buffer.data(), copied));
}

RECT RectInParent(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
