// A found file, as the result list holds up to 100000 of them: small, with its
// folder's path shared by the rows of that folder and its name and type kept
// together in a TextStore that outlives the rows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// The bits of a row's kind.
const uint8_t kKindDirectory = 1;
const uint8_t kKindLink = 2;
// Its data is not on this PC: deleting it deletes it from the cloud and from every
// device that syncs it. Not part of what makes a file changed since the search,
// as opening it meanwhile may have brought it here.
const uint8_t kKindOnlineOnly = 4;

// What the search saw of a file's times, so that the deletion can tell
// whether the file is still the one the user saw listed.
struct FileStamp
{
    uint64_t creationTime = 0; // FILETIME units
    uint64_t writeTime = 0;

    bool operator==(const FileStamp&) const = default;
};

class FoundFile
{
public:
    uint64_t size = 0;
    // The tested time itself; the Date column's text is made from it when shown.
    int64_t testedTime = 0;
    FileStamp seen;

private:
    friend class TextStore;

    static const std::string noFolder;
    const std::string* folder = &noFolder;
    const char* text = "";
    uint16_t nameLength = 0;
    uint16_t typeLength = 0;
    // The type is the name's own ending, already in lower case, and is not stored twice.
    bool typeInName = true;

public:
    // Chosen in the result list; written only by SearchResults, under its lock.
    bool rowSelected = false;
    // The kKind bits of the entry as the search saw it; zero for a plain file on this PC.
    uint8_t kind = 0;

    bool OnlineOnly() const { return (kind & kKindOnlineOnly) != 0; }

    // Ends with a backslash; Folder() + Name() is the full path.
    const std::string& Folder() const { return *folder; }
    std::string_view Name() const { return {text, nameLength}; }
    // The lower-case text after the name's last '.'.
    std::string_view Type() const
    {
        return {typeInName ? text + nameLength - typeLength : text + nameLength, typeLength};
    }
    std::string Path() const;
};

// What a deletion needs of a chosen row, copied when Delete is answered so that
// the worker never reads a row the page may change.
struct ChosenFile
{
    std::string path;
    uint64_t size = 0;
    // The date the Date column shows.
    int64_t testedTime = 0;
    FileStamp seen;
    uint8_t kind = 0;
    // Where the row stood in the found order: how the worker finds it again to drop it.
    uint32_t place = 0;

    bool OnlineOnly() const { return (kind & kKindOnlineOnly) != 0; }
};

ChosenFile ChosenFileOf(const FoundFile& row, size_t place);

// Where a row stood in the found order, which its "N" shows and a deletion keeps.
// `places` is empty until a deletion drops rows; until then row i stood at i.
size_t FoundPlace(const std::vector<uint32_t>& places, size_t row);
// The row that stood at `place` among `rowCount` rows, or SIZE_MAX when it is gone.
size_t RowAtFoundPlace(const std::vector<uint32_t>& places, size_t rowCount, size_t place);
// Drops the rows whose flag in `dropped` is set; the others keep their order and places.
void DropRows(std::vector<FoundFile>& rows, std::vector<uint32_t>& places, const std::vector<char>& dropped);

// The texts of found rows, in blocks that never move, so that rows can point
// into them; cleared with the rows.
class TextStore
{
public:
    TextStore() = default;
    TextStore(const TextStore&) = delete;
    TextStore& operator=(const TextStore&) = delete;

    // Keeps a folder's path (ending with a backslash) for the rows of its files.
    const std::string* AddFolder(std::string path);
    // A row of a file in folder, with its name and lower-case type.
    FoundFile AddRow(const std::string* folder, std::string_view name, std::string_view type);
    // Takes over another store's texts; rows pointing into them stay valid.
    void Take(TextStore& other);
    void Clear();

private:
    static const size_t kBlockSize = 65536;

    std::vector<std::unique_ptr<const std::string>> folders;
    std::vector<std::unique_ptr<char[]>> blocks;
    char* next = nullptr;
    size_t left = 0;

    char* Reserve(size_t size);
};
