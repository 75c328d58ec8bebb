// A window object bound to its HWND. Each class answers its messages in one
// WindowProc switch and its commands in one OnCommand switch.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What CreateWindowEx is given, by name; the object itself is the creation parameter.
struct WindowCreation
{
    const wchar_t* className = nullptr;
    std::string title = "";
    DWORD style = 0;
    DWORD exStyle = 0;
    POINT position = {};
    SIZE size = {};
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;
};

class CWnd
{
public:
    HWND hwnd = nullptr;

    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    // Registers a window class whose messages reach the bound object.
    static bool RegisterWindowClass(const wchar_t* className, UINT style, HICON icon, HICON smallIcon,
                                    HCURSOR cursor, HBRUSH background);
    // Registers a class whose default processing is the dialog manager's, as a
    // top-level window that hosts child dialogs wants: a close request arrives as
    // the cancel command, and focus returns to the last focused control.
    static bool RegisterDialogClass(const wchar_t* className, HICON icon);
    bool Create(const WindowCreation& creation);
    // The object bound to a window of ours, or null.
    static CWnd* FromHandle(HWND window);
    // Binds the object to a window of a system class (a STATIC, say; not named
    // SubclassWindow, which <windowsx.h> defines as a macro): its messages reach
    // WindowProc first, and what it leaves goes on to the control's procedure
    // through Default. Unbound at WM_NCDESTROY or in the destructor, without
    // breaking a subclass added after it. Not SetWindowSubclass: under Wine it
    // costs 0.18 ms a message, and the result list gets one per row it changes.
    bool SubclassControl(HWND window);

    HWND GetItem(int id) const { return GetDlgItem(hwnd, id); }
    void SetText(const std::string& text);
    std::string GetText() const;
    void SetItemText(int id, const std::string& text);
    std::string GetItemText(int id) const;
    void ShowItem(int id, bool show);
    void EnableItem(int id, bool enable);
    void DestroyWindow();
    // A message of the thread's loop for this top-level window or a window inside
    // it, before any dialog's keyboard handling; true when it took the message.
    virtual bool PreTranslateMessage(MSG& msg);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Returns true when the command was handled.
    virtual bool OnCommand(int id, int code);
    // The handling the window would get without this object.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // A notification this control sent its parent, handed back to it before the
    // parent sees it, so that each control's notices reach only its own object.
    // Returns true when handled, with the parent's answer in result.
    virtual bool OnReflectedNotify(NMHDR& header, LRESULT& result);
    // Hands a WM_NOTIFY that reached parent to the object of the control that sent it.
    static bool ReflectNotify(const CWnd* parent, LPARAM lParam, LRESULT& result);

private:
    // The control's procedure of a subclassed window; null for windows of our classes.
    WNDPROC originalProc = nullptr;
    // Set for windows of a class from RegisterDialogClass.
    bool dialogDefaults = false;

    void Unbind();
    // WindowProc behind the exception boundary; ends the binding at WM_NCDESTROY.
    static LRESULT Dispatch(CWnd* self, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Unbound(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

std::string GetWindowTextUtf8(HWND window);
// A window's rectangle in its parent's client coordinates (screen ones for a top-level window).
RECT RectInParent(HWND window);
// The children Tab can reach now: visible, enabled and marked as tab stops, in tab order.
std::vector<HWND> ReachableTabStops(HWND parent);
