// A key of the classes root (HKEY_CLASSES_ROOT) that a test changes: kept
// aside under the current user while the test runs and put back as it was,
// or removed if it did not exist, when the object goes.
#pragma once

#include <string>

class SavedClassesKey
{
public:
    explicit SavedClassesKey(std::wstring path);
    ~SavedClassesKey();
    SavedClassesKey(const SavedClassesKey&) = delete;
    SavedClassesKey& operator=(const SavedClassesKey&) = delete;

    // Sets the key's default value to the text.
    bool Set(const std::string& text);
    // Deletes the key with everything in it.
    void Remove();

private:
    std::wstring path;
    std::wstring backup;
    bool existed = false;
};
