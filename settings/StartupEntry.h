// "Start with Windows" as Windows sees it: the user's Run value named Velmora,
// and whether the user turned it off in Task Manager's start-up list, which
// Windows keeps apart under StartupApproved. settings.dat's byte may be stale
// (the program was removed, moved, or its settings came from elsewhere): this is
// what Windows will do at the next sign-in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct StartupEntry
{
    bool exists = false;
    // The value's program is this program (the path compared without case).
    bool namesThisProgram = false;
    // Task Manager's record says off: Windows then skips the value.
    bool turnedOff = false;

    bool StartsThisProgram() const { return exists && namesThisProgram && !turnedOff; }
};

// The entry from what the registry holds: the Run value's command line (none when
// absent), Task Manager's record of it (none when absent) and this program's path.
StartupEntry JudgeStartupEntry(const std::optional<std::wstring>& command,
                               const std::optional<std::vector<uint8_t>>& approval, const std::wstring& program);

// The current user's entry for the running program.
StartupEntry ReadStartupEntry();
// Sets the Run value to this program's quoted path and clears a "turned off"
// record, so the value counts again; false when the registry refused.
bool WriteStartupEntry();
// Deletes the Run value; true when none is left.
bool DeleteStartupEntry();
// A value left on for another path (the 32-bit folder before the 64-bit package
// replaced it) is made to name this program; one turned off stays as it is.
void RepairStartupEntry();
