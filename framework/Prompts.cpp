#include "framework/Prompts.h"

#include "framework/CAnswerBox.h"
#include "framework/CAnswerBoxFull.h"
#include "framework/CMessageBox.h"
#include "resources/resource.h"

void ShowMessage(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
                 int iconId)
{
    CMessageBox box(caption, heading, text, iconId);
    box.DoModal(owner);
}

bool AskYesNo(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
              int iconId)
{
    CAnswerBox box(caption, heading, text, iconId);
    return box.DoModal(owner) == IDOK;
}

Choice AskChoice(HWND owner, const std::string& caption, const std::string& heading, const std::string& text,
              int iconId, const std::array<int, 5>& enabled, const std::array<std::string, 5>& captions)
{
    CAnswerBoxFull box(caption, heading, text, iconId, enabled, captions);
    return box.DoModal(owner) == IDOK ? box.choice : Choice::Cancel;
}

void ShowOutOfMemory()
{
    ShowMessage(nullptr, "Error", "", "Out of memory.", IDI_EXCLAMATION_MARK);
}

// The cause numbers of the open-error message.
static int FileErrorCause(DWORD error)
{
    switch (error)
    {
    case ERROR_FILE_NOT_FOUND:
        return 2;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE:
        return 3;
    case ERROR_TOO_MANY_OPEN_FILES:
        return 4;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
        return 5;
    case ERROR_INVALID_HANDLE:
        return 6;
    case ERROR_SHARING_VIOLATION:
        return 11;
    case ERROR_LOCK_VIOLATION:
        return 12;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return 13;
    case ERROR_HANDLE_EOF:
        return 14;
    }
    return 1;
}

void ShowFileError(HWND owner, const std::string& path, const char* what, DWORD error)
{
    std::string text = "Could not " + std::string(what) + " file \"" + path + "\", " + what + " error " +
                       std::to_string(FileErrorCause(error));
    ShowMessage(owner, "Error", "", text, IDI_EXCLAMATION_MARK);
}
