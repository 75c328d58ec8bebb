#include "framework/ReplaceFile.h"

#include "framework/Text.h"

#include <algorithm>

namespace
{
// An antivirus scanner or the indexer holds a new or replaced file for a moment:
// the move is tried again after such a refusal, for about a second in all.
const DWORD kFirstRetryPauseMs = 10;
const DWORD kRetryBudgetMs = 1000;

bool IsPassingRefusal(DWORD error)
{
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

#ifdef VELMORA_SLOW_WRITES
// A test build: the bytes go out in small pieces with a pause after each, the
// last one too, so that a test can end the program at any point of a write.
const size_t kSlowPieceSize = 8;
const DWORD kSlowPauseMs = 150;

bool WriteAll(HANDLE file, const void* data, size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    for (size_t done = 0; done < size;)
    {
        const DWORD piece = (DWORD)std::min(kSlowPieceSize, size - done);
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, piece, &written, nullptr) || written != piece)
            return false;
        done += piece;
        Sleep(kSlowPauseMs);
    }
    return true;
}
#else
bool WriteAll(HANDLE file, const void* data, size_t size)
{
    DWORD written = 0;
    return WriteFile(file, data, (DWORD)size, &written, nullptr) && written == size;
}
#endif
}

bool MoveFileOver(const std::wstring& from, const std::wstring& to, DWORD& error)
{
    DWORD waited = 0;
    for (DWORD pause = kFirstRetryPauseMs;; pause *= 2)
    {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        error = GetLastError();
        if (!IsPassingRefusal(error) || waited >= kRetryBudgetMs)
            return false;
        pause = std::min(pause, kRetryBudgetMs - waited);
        Sleep(pause);
        waited += pause;
    }
}

bool ReplaceFileContents(const std::string& path, const std::string& temporaryPath, const void* data, size_t size,
                         FileWriteFailure& failure)
{
    const std::wstring target = LongPath(path);
    const std::wstring temporary = LongPath(temporaryPath);
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
    {
        failure = {"open", GetLastError()};
        return false;
    }
    const bool complete = WriteAll(file, data, size) && FlushFileBuffers(file);
    const DWORD error = complete ? 0 : GetLastError();
    CloseHandle(file);
    if (!complete)
    {
        DeleteFileW(temporary.c_str());
        failure = {"write", error};
        return false;
    }
    DWORD moveError = 0;
    if (!MoveFileOver(temporary, target, moveError))
    {
        failure = {"open", moveError};
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
