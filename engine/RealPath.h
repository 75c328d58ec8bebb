// The real path of a directory, with every link resolved, in one form for
// comparing: lower case, ending with a backslash. Empty when it cannot be told.
#pragma once

#include <string>

std::wstring RealPath(const std::wstring& path);
// The comparing form of a path that is real already.
std::wstring ComparablePath(std::wstring path);
// True when path is root or lies inside it (both in the comparing form).
bool IsWithin(const std::wstring& path, const std::wstring& root);
