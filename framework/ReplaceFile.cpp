#include "framework/ReplaceFile.h"

#include "framework/Text.h"

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
    DWORD written = 0;
    const bool complete =
        WriteFile(file, data, (DWORD)size, &written, nullptr) && written == size && FlushFileBuffers(file);
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
