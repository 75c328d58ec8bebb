// A fresh folder for one test's files, removed with everything in it afterwards.
#pragma once

#include <cstdint>
#include <string>

class TempFolder
{
public:
    TempFolder();
    ~TempFolder();

    // The folder's path, ending with a backslash.
    const std::string& Path() const { return path; }
    // Writes a file (creating its folders) and returns its full path.
    std::string WriteFile(const std::string& relativePath, const std::string& content) const;

private:
    std::string path;
};

std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
// The folder of the large trees that the fixture script makes natively before
// the Wine tests run (tests/fixtures/make-trees.py); empty when it did not.
std::string FixtureTrees();
