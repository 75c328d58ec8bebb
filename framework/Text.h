// Text inside the program is UTF-8; Windows is called through its wide functions.
#pragma once

#include <string>

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
std::string Narrow(const wchar_t* wide);
// The same into `utf8`, whose room is reused from call to call.
void NarrowInto(const wchar_t* wide, std::string& utf8);

// A path in the form the file system takes literally and at any length: a full
// path gets the "\\?\" prefix ("\\?\UNC\" for network paths), so that names
// ending in a dot or a blank and device names ("con", "aux.txt") are reached as
// the files they are. Other paths are left to the ordinary rules.
std::wstring LongPath(const std::string& utf8Path);

// The running program's file, full path: right however the program was started.
std::string ProgramPath();
// The folder of that file, with its trailing separator.
std::string ProgramFolder();

// The text's bytes in the system's ANSI code page (characters it lacks become '?').
std::string ToAnsi(const std::string& utf8);
