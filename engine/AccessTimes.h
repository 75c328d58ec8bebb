// Whether Windows keeps files' last-access times up to date on this computer.
// Where it does not, a file's accessed date can be far older than its last use.
#pragma once

bool WindowsRecordsAccessTimes();
