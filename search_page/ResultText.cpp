#include "search_page/ResultText.h"

#include <cctype>

namespace
{
const uint64_t kKilobyte = 1024;

struct Unit
{
    uint64_t bytes;
    const char* name;
};

// Whole units and tenths by integer arithmetic, exact at any size; tenths are
// cut, not rounded, so 1048575 bytes never shows as 1024.0 KB.
std::string InUnit(uint64_t bytes, const Unit& unit)
{
    uint64_t whole = bytes / unit.bytes;
    uint64_t tenths = (bytes % unit.bytes) * 10 / unit.bytes;
    return std::to_string(whole) + "." + std::to_string(tenths) + " " + unit.name;
}
}

std::string SelectionTotalText(uint64_t files, uint64_t bytes)
{
    std::string text = "Selected: " + std::to_string(files) + " file(s)";
    if (files == 0)
        return text;
    text += ", " + std::to_string(bytes) + " bytes";
    if (bytes < kKilobyte)
        return text;
    const Unit units[] = {{kKilobyte * kKilobyte * kKilobyte, "GB"}, {kKilobyte * kKilobyte, "MB"}, {kKilobyte, "KB"}};
    for (const Unit& unit : units)
    {
        if (bytes >= unit.bytes)
            return text + " (" + InUnit(bytes, unit) + ")";
    }
    return text;
}

std::string CellText(const FoundFile& file, size_t foundPlace, int column, const ZoneRule& zone)
{
    switch (column)
    {
    case 0:
        return std::to_string(foundPlace + 1);
    case 1:
        return std::string(file.Name());
    case 2:
        return std::string(file.Type());
    case 3:
        return file.Folder();
    case 4:
        return std::to_string(file.size);
    case 5:
        return FormatDateText(SecondsToLocal(file.testedTime, zone));
    }
    return std::string();
}

std::string ShellPathOf(const std::string& path, const std::string& systemFolder, const std::string& windowsFolder,
                        bool redirected)
{
    if (!redirected || systemFolder.empty() || path.size() <= systemFolder.size() ||
        path[systemFolder.size()] != '\\')
        return path;
    // Folder names compare without case; ASCII is enough for the system's own folders.
    for (size_t i = 0; i < systemFolder.size(); i++)
        if (std::tolower(static_cast<unsigned char>(path[i])) != std::tolower(static_cast<unsigned char>(systemFolder[i])))
            return path;
    std::string windows = windowsFolder;
    if (!windows.empty() && windows.back() == '\\')
        windows.pop_back();
    return windows + "\\Sysnative" + path.substr(systemFolder.size());
}
