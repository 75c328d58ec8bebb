// A dialog from a template, modal (DoModal) or modeless (Create).
// For dialogs WindowProc returns what a dialog procedure returns: nonzero when
// the message was handled; results of notifications go through SetResult.
#pragma once

#include "framework/CWnd.h"

class CDialog : public CWnd
{
public:
    explicit CDialog(int templateId) : templateId(templateId) {}
    // A window that outlives its object no longer reaches it.
    ~CDialog() override;

    // Runs the dialog modally; returns the EndDialog code, or -1 when it could not be created.
    INT_PTR DoModal(HWND owner);
    // Creates the dialog modeless; the message loop gives it its keyboard handling.
    bool Create(HWND owner);
    void EndDialog(INT_PTR result);
    // The template's size in this dialog's pixels: what its font and display
    // make of the dialog units; zero before the dialog exists.
    SIZE TemplateExtent() const;

protected:
    int templateId;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(int id, int code) override;
    // Returns TRUE to let the dialog manager set the focus.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void SetResult(LRESULT result);

private:
    bool modeless = false;

    void Unbind();
    static INT_PTR CALLBACK StaticDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
