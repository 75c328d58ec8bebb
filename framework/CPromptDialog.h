// What the three prompt dialogs share: the question as static text first in
// z-order, so that a screen reader reads it when the prompt opens; the frame
// around it; buttons with access keys; and a layout measured in the system's
// message font, so that larger text makes the prompt larger, not cut.
#pragma once

#include "framework/CDialog.h"
#include "framework/Dpi.h"

#include <string>
#include <vector>

class CPromptDialog : public CDialog
{
public:
    CPromptDialog(int templateId, const std::string& caption, const std::string& heading,
                  const std::string& text, int iconId);
    ~CPromptDialog() override;

protected:
    // A prompt's usual sizes at 96 DPI; each grows where the font needs more.
    struct Shape
    {
        int width;
        // The frame's right edge; the buttons' row spans the frame.
        int frameRight;
        int buttonHeight;
        // Below the buttons.
        int bottomMargin;
    };

    std::string caption;
    std::string heading;
    std::string text;
    int iconId;
    HFONT font = nullptr;
    HWND textControl = nullptr;
    HWND frame = nullptr;
    // The DPI the dialog is laid out for; the layout's sizes are given at 96 DPI.
    UINT dpi = kBaseDpi;

    // Sets icon and title, lays out text, frame and `buttons` (left to right),
    // then sizes the dialog and centres it.
    void Layout(const Shape& shape, const std::vector<HWND>& buttons);
    int Scaled(int value) const;

private:
    void SizeAndCentre(int width, int clientHeight);
};
