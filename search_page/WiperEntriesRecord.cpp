// The search page's safety net: the record of deletions it opens, and the line
// that counts the folders the last search could not read.
#include "search_page/CWindowWiperEntries.h"

#include "framework/ComScope.h"
#include "framework/Prompts.h"
#include "framework/Text.h"
#include "resources/resource.h"

#include <shellapi.h>

void CWindowWiperEntries::UseDeletionRecord(const std::string& path)
{
    recordPath = path;
}

void CWindowWiperEntries::OpenDeletionRecord()
{
    if (recordPath.empty() || GetFileAttributesW(LongPath(recordPath).c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        ShowWarning("No file has been deleted yet.");
        return;
    }
    ComScope com;
    HINSTANCE started = ShellExecuteW(hwnd, L"open", Widen(recordPath).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if ((INT_PTR)started <= 32)
        ShowWarning("Could not open \"" + recordPath + "\".");
}

void CWindowWiperEntries::ShowUnreadableLine()
{
    const uint64_t count = found.Unreadable().count;
    SetItemText(IDC_UNREADABLE_LINE, count ? std::to_string(count) + " folder(s) could not be read" : "");
    ShowItem(IDC_UNREADABLE_LINE, count > 0);
}

void CWindowWiperEntries::CopyUnreadablePaths()
{
    std::string text;
    for (const std::string& path : found.Unreadable().paths)
        text += (text.empty() ? "" : "\r\n") + path;
    CResultView::CopyToClipboard(hwnd, text);
}
