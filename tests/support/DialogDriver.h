// Drives the program's dialogs as a user would, from a helper thread, while the
// test's own thread is inside the modal call. Assertions stay on the test's thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

// A visible top-level dialog of this process with exactly this caption, or null after the deadline.
HWND WaitForDialog(const std::string& caption, DWORD timeoutMs = 10000);
// Presses a key on the dialog's focused control.
void PressKey(HWND dialog, UINT virtualKey);
// Clicks a button as the mouse would; a disabled button ignores it.
void ClickButton(HWND dialog, int id);
// Closes the dialog with its close box.
void CloseWithCloseBox(HWND dialog);
// A control's text, with line breaks as "\n".
std::string ControlText(HWND dialog, int id);

// Runs `drive` with the dialog of the caption once it shows; joins in the destructor.
class DialogDriver
{
public:
    DialogDriver(const std::string& caption, std::function<void(HWND)> drive);
    ~DialogDriver();

private:
    std::thread thread;
};

// What a prompt showed before a DialogCloser answered it.
struct SeenPrompt
{
    std::string caption;
    std::string text;
};

// Answers every prompt that appears while it lives, and records it: with the
// next button of `buttons` while there is one, then with Enter.
class DialogCloser
{
public:
    explicit DialogCloser(std::vector<int> buttons = {});
    ~DialogCloser();
    std::vector<SeenPrompt> Stop();

private:
    std::atomic<bool> stop{false};
    std::vector<SeenPrompt> seen;
    std::thread thread;
};

// The name the platform gives a control without a text of its own: the text of
// the nearest static before it in z-order, unless a tab stop comes between.
std::string LabelOf(HWND control);
