#include "engine/DeletionRecord.h"

#include "framework/ReplaceFile.h"
#include "framework/Text.h"

namespace
{
// As the saved list: spreadsheet programs then read the paths' UTF-8 as UTF-8.
const char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string NowText()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    return RecordTimeText({now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}
}

DeletionRecord::DeletionRecord(const std::string& path, const ZoneRule& zone) : path(path), zone(zone)
{
}

DeletionRecord::~DeletionRecord()
{
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

std::string DeletionRecord::RolledPath(const std::string& path)
{
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return path + ".1";
    return path.substr(0, dot) + ".1" + path.substr(dot);
}

bool DeletionRecord::Open()
{
    // Appending only: every write lands at the end, whoever else appends meanwhile.
    file = CreateFileW(LongPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                       OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER length = {};
    GetFileSizeEx(file, &length);
    size = static_cast<uint64_t>(length.QuadPart);
    return size > 0 || Write(kByteOrderMark + DeletionRecordHeading());
}

bool DeletionRecord::Write(const std::string& text)
{
    DWORD written = 0;
    if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written != text.size())
        return false;
    size += written;
    return true;
}

bool DeletionRecord::RollOver()
{
    CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    DWORD error = 0;
    MoveFileOver(LongPath(path), LongPath(RolledPath(path)), error);
    return Open();
}

bool DeletionRecord::Add(const ChosenFile& chosen, DeletionOutcome outcome, const std::string& reason)
{
    if (path.empty())
        return true;
    if (file == INVALID_HANDLE_VALUE && !Open())
        return false;
    const std::string line = DeletionRecordLine(NowText(), chosen.path, chosen.size,
                                                FormatDateText(SecondsToLocal(chosen.testedTime, zone)), outcome,
                                                reason);
    if (size + line.size() > kRollOverBytes && !RollOver())
        return false;
    return Write(line);
}
