#include "framework/CWnd.h"

#include "framework/FailureReport.h"
#include "framework/Text.h"

#include <commctrl.h>

#include <vector>

// Our place in a control's subclass chain.
static const UINT_PTR kSubclassId = 1;

CWnd::~CWnd()
{
    if (hwnd && FromHandle(hwnd) == this)
        Unbind();
    hwnd = nullptr;
}

void CWnd::Unbind()
{
    if (subclassed)
        RemoveWindowSubclass(hwnd, SubclassProc, kSubclassId);
    else
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    subclassed = false;
}

// A class whose windows reach their objects; registering it again is no failure.
static bool RegisterOurClass(const wchar_t* className, UINT style, int windowExtra, HICON icon, HICON smallIcon,
                             HCURSOR cursor, HBRUSH background, WNDPROC procedure)
{
    const WNDCLASSEXW wc = {sizeof(WNDCLASSEXW), style,    procedure,  0,       windowExtra, GetModuleHandleW(nullptr),
                            icon,                cursor,   background, nullptr, className,   smallIcon};
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWnd::RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HICON smallIcon,
                               HCURSOR cursor, HBRUSH background)
{
    return RegisterOurClass(className, style, 0, icon, smallIcon, cursor, background, StaticWindowProc);
}

bool CWnd::RegisterDialogClass(const wchar_t* className, HICON icon)
{
    return RegisterOurClass(className, 0, DLGWINDOWEXTRA, icon, nullptr, LoadCursorW(nullptr, IDC_ARROW), nullptr,
                            StaticWindowProc);
}

bool CWnd::Create(const WindowCreation& creation)
{
    HWND created = CreateWindowExW(creation.exStyle, creation.className, Widen(creation.title).c_str(),
                                   creation.style, creation.position.x, creation.position.y, creation.size.cx,
                                   creation.size.cy, creation.parent, creation.menuOrId, GetModuleHandleW(nullptr), this);
    return created != nullptr;
}

CWnd* CWnd::FromHandle(HWND window)
{
    DWORD_PTR bound = 0;
    if (GetWindowSubclass(window, SubclassProc, kSubclassId, &bound))
        return reinterpret_cast<CWnd*>(bound);
    // The user data of other classes' windows belongs to others.
    if (GetClassLongPtrW(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(StaticWindowProc))
        return nullptr;
    return reinterpret_cast<CWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

bool CWnd::SubclassControl(HWND window)
{
    if (!window || hwnd || FromHandle(window))
        return false;
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this)))
        return false;
    hwnd = window;
    subclassed = true;
    return true;
}

LRESULT CWnd::Default(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (subclassed)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    if (dialogDefaults)
        return DefDlgProcW(hwnd, message, wParam, lParam);
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* self = reinterpret_cast<CWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE)
    {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd = window;
        self->dialogDefaults = GetClassLongPtrW(window, GCL_CBWNDEXTRA) >= DLGWINDOWEXTRA;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return Dispatch(self, message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    return Dispatch(reinterpret_cast<CWnd*>(self), message, wParam, lParam);
}

// The exception boundary of every window of ours: a handler that fails leaves
// the message unanswered (0) and the object's data as it was.
LRESULT CWnd::Dispatch(CWnd* self, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Guarded([&] { return self->WindowProc(message, wParam, lParam); }, LRESULT(0));
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
