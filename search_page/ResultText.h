// Texts the result list makes from its rows: the selection total and the
// lines of a saved list. No Windows API, so they are tested natively too.
#pragma once

#include "engine/LocalTime.h"
#include "engine/RecordText.h"
#include "engine/SearchCriteria.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// "Selected: N file(s)" or "Selected: N file(s), S bytes", with the size in
// the largest of KB, MB and GB that is at least 1 once S reaches 1024.
std::string SelectionTotalText(uint64_t files, uint64_t bytes);

// What a result row shows in a column (0 "N" to 5 "Date"); the "N" text is
// the row's place in the found order (FoundPlace) plus 1, the date is the tested time in the zone's local time.
std::string CellText(const FoundFile& file, size_t foundPlace, int column, const ZoneRule& zone);

// The path to hand the shell for a row's file. A 32-bit program on 64-bit
// Windows sees SysWOW64 under System32's name, and so would the shell it asks:
// a file of the real System32 (`systemFolder`, "C:\Windows\System32") is named
// through the Windows folder's "Sysnative" alias there. Elsewhere the path stays.
std::string ShellPathOf(const std::string& path, const std::string& systemFolder, const std::string& windowsFolder,
                        bool redirected);
