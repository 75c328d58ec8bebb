#include "framework/ReplaceFile.h"

#include "framework/Text.h"

#ifdef VELMORA_SLOW_WRITES
#include <algorithm>
#endif

namespace
{
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
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    {
        failure = {"open", GetLastError()};
        DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}
