// What the three prompt dialogs share: the text in a rich-edit control whose
// height follows its line count, the frame around it, and the final size.
#pragma once

#include "framework/CDialog.h"
#include "framework/Dpi.h"

#include <string>

class CPromptDialog : public CDialog
{
public:
    CPromptDialog(int templateId, const std::string& caption, const std::string& heading,
                  const std::string& text, int iconId);
    ~CPromptDialog() override;

protected:
    std::string caption;
    std::string heading;
    std::string text;
    int iconId;
    HFONT font = nullptr;
    HWND textControl = nullptr;
    HWND frame = nullptr;
    // The DPI the dialog is laid out for; the layout's sizes are given at 96 DPI.
    UINT dpi = kBaseDpi;

    // Sets icon and title, lays out text and frame; returns the text height h.
    // textRight: right edge of the first text rectangle (also the width it is
    // moved to); singleLineRight: right edge of a centred single line;
    // frameRight: right edge of the frame.
    int LayoutText(int textRight, int singleLineRight, int frameRight);
    int Scaled(int value) const;
    // Gives the window the outer width and the client-derived height, then centres it.
    void SizeAndCentre(int width, int clientHeight);

private:
    HWND CreateTextControl(DWORD extraStyle, int left, int top, int right, int bottom);
};
