// Writing a whole file so that a failure never leaves half of it: the bytes go
// to a temporary file beside it, which then replaces the file in one move.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

struct FileWriteFailure
{
    // "open" or "write": the step the program's file message names.
    const char* what = "";
    DWORD error = 0;
};

// False, with the failed step, when the file could not be written; the old
// file, if any, is then intact and the temporary file is gone.
bool ReplaceFileContents(const std::string& path, const std::string& temporaryPath, const void* data, size_t size,
                         FileWriteFailure& failure);

// Moves `from` over `to`, trying again for about a second while a scanner or
// the indexer holds either for a moment; false with the last error.
bool MoveFileOver(const std::wstring& from, const std::wstring& to, DWORD& error);
