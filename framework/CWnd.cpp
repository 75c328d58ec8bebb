#include "framework/CWnd.h"

#include "framework/FailureReport.h"
#include "framework/Text.h"

#include <vector>

// Where a control whose object ended keeps the procedure it goes on to, while
// a subclass added after ours still calls our procedure.
static const wchar_t kNextProcedure[] = L"Velmora.NextProcedure";

CWnd::~CWnd()
{
    if (hwnd && GetWindowLongPtrW(hwnd, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this))
        Unbind();
    hwnd = nullptr;
}

void CWnd::Unbind()
{
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (originalProc)
    {
        // Whoever subclassed the control after us still calls our procedure: it
        // goes on forwarding, and leaves the chain once it is on top again.
        if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(StaticWindowProc))
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc));
        else
            SetPropW(hwnd, kNextProcedure, reinterpret_cast<HANDLE>(originalProc));
    }
    originalProc = nullptr;
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
                                   creation.size.cy, creation.parent, creation.menuOrId, GetModuleHandleW(nullptr),
                                   this);
    return created != nullptr;
}

CWnd* CWnd::FromHandle(HWND window)
{
    // The user data of other windows belongs to others: ours are of our classes,
    // or controls whose procedure is ours.
    if (GetClassLongPtrW(window, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(StaticWindowProc) &&
        GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(StaticWindowProc))
        return nullptr;
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
    CWnd* self = reinterpret_cast<CWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE)
    {
        self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd = window;
        self->dialogDefaults = GetClassLongPtrW(window, GCL_CBWNDEXTRA) >= DLGWINDOWEXTRA;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return Unbound(window, message, wParam, lParam);
    return Dispatch(self, message, wParam, lParam);
}

// A window of ours before its object is bound, or a control whose object has
// ended while a later subclass still called us.
LRESULT CWnd::Unbound(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC next = reinterpret_cast<WNDPROC>(GetPropW(window, kNextProcedure));
    if (!next)
        return DefWindowProcW(window, message, wParam, lParam);
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(StaticWindowProc))
    {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
        RemovePropW(window, kNextProcedure);
    }
    else if (message == WM_NCDESTROY)
        RemovePropW(window, kNextProcedure);
    return CallWindowProcW(next, window, message, wParam, lParam);
}

// The exception boundary of every window of ours: a handler that fails leaves
// the message unanswered (0) and the object's data as it was.
LRESULT CWnd::Dispatch(CWnd* self, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Guarded(
        [&] {
            LRESULT answer = 0;
            if (message == WM_NOTIFY && ReflectNotify(self, lParam, answer))
                return answer;
            return self->WindowProc(message, wParam, lParam);
        },
        LRESULT(0));
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

bool CWnd::PreTranslateMessage(MSG&)
{
    return false;
}

bool CWnd::OnReflectedNotify(NMHDR&, LRESULT&)
{
    return false;
}

bool CWnd::ReflectNotify(const CWnd* parent, LPARAM lParam, LRESULT& result)
{
    NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header || header->hwndFrom == parent->hwnd)
        return false;
    CWnd* sender = FromHandle(header->hwndFrom);
    return sender && sender->OnReflectedNotify(*header, result);
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
    HWND item = GetItem(id);
    // Disabled while it holds the focus, a control would leave the focus nowhere:
    // it passes the focus on to the next tab stop first.
    if (!enable && item && GetFocus() == item)
        SendMessageW(hwnd, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(item, enable);
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

std::vector<HWND> ReachableTabStops(HWND parent)
{
    std::vector<HWND> stops;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    {
        if ((GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child) && IsWindowEnabled(child))
            stops.push_back(child);
    }
    return stops;
}
