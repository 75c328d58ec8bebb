#include "framework/CDialog.h"

#include "framework/FailureReport.h"
#include "framework/MessageLoop.h"

CDialog::~CDialog()
{
    if (hwnd && GetWindowLongPtrW(hwnd, DWLP_USER) == reinterpret_cast<LONG_PTR>(this))
        Unbind();
    hwnd = nullptr;
}

void CDialog::Unbind()
{
    if (modeless)
        UnregisterModelessDialog(hwnd);
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
}

INT_PTR CDialog::DoModal(HWND owner)
{
    modeless = false;
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, StaticDialogProc,
                           reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND owner)
{
    modeless = true;
    HWND created = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                                      StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (!created)
        return false;
    RegisterModelessDialog(created);
    return true;
}

void CDialog::EndDialog(INT_PTR result)
{
    if (modeless)
        DestroyWindow();
    else
        ::EndDialog(hwnd, result);
}

SIZE CDialog::TemplateExtent() const
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const auto* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!hwnd || !words)
        return {0, 0};
    // An extended template begins with version 1 and 0xFFFF; its size sits
    // after help id, extended style, style, item count and position.
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    const int sizeIndex = extended ? 11 : 7;
    RECT extent = {0, 0, static_cast<short>(words[sizeIndex]), static_cast<short>(words[sizeIndex + 1])};
    MapDialogRect(hwnd, &extent);
    return {extent.right, extent.bottom};
}

INT_PTR CALLBACK CDialog::StaticDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    if (message == WM_INITDIALOG)
    {
        self = reinterpret_cast<CDialog*>(lParam);
        self->hwnd = window;
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    }
    if (!self)
        return FALSE;
    // The exception boundary of every dialog: a handler that fails leaves the
    // message to the dialog manager and the object's data as it was.
    INT_PTR result = Guarded(
        [&] {
            LRESULT answer = 0;
            if (message == WM_NOTIFY && ReflectNotify(self, lParam, answer))
            {
                self->SetResult(answer);
                return INT_PTR(TRUE);
            }
            return (INT_PTR)self->WindowProc(message, wParam, lParam);
        },
        INT_PTR(FALSE));
    if (message == WM_NCDESTROY)
    {
        self->Unbind();
        self->hwnd = nullptr;
    }
    return result;
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM)
{
    switch (message)
    {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam), HIWORD(wParam));
    }
    return FALSE;
}

bool CDialog::OnCommand(int id, int)
{
    switch (id)
    {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    }
    return false;
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::SetResult(LRESULT result)
{
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
}
