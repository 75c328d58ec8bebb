#include "search_page/KeptSearchFile.h"

#include "framework/ReplaceFile.h"
#include "framework/Text.h"

#include <windows.h>

namespace
{
// Far more than any list of locations a person keeps; a larger file is not ours.
const DWORD kLargestFile = 1 << 20;
}

bool KeptSearchFile::Load(KeptSearch& search)
{
    if (path.empty())
        return false;
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        const DWORD error = GetLastError();
        keepUnreadable = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
        return false;
    }
    std::string text(kLargestFile + 1, '\0');
    DWORD total = 0;
    DWORD read = 0;
    while (total < text.size() && ReadFile(file, text.data() + total, (DWORD)text.size() - total, &read, nullptr) &&
           read > 0)
        total += read;
    CloseHandle(file);
    text.resize(total);
    keepUnreadable = total > kLargestFile || !search.Parse(text);
    return !keepUnreadable;
}

void KeptSearchFile::Save(const KeptSearch& search)
{
    if (path.empty())
        return;
    DWORD refusal = 0;
    if (keepUnreadable && !MoveFileOver(LongPath(path), LongPath(path + ".unreadable"), refusal) &&
        refusal != ERROR_FILE_NOT_FOUND)
        return;
    keepUnreadable = false;
    const std::string text = search.Format();
    FileWriteFailure failure;
    ReplaceFileContents(path, path + ".new", text.data(), text.size(), failure);
}
