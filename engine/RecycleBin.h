// Moves files to the Recycle Bin in one shell operation, with a result for each
// file, and never lets the shell delete one for good instead. Where the shell's
// file operation object does the work (it tells, before each item, whether the
// item will be recycled), that notice decides; where the object answers that it
// cannot (E_NOTIMPL, as under Wine), one SHFileOperationW call does it, and each
// item's volume decides beforehand.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

// The system's text for an error code, on one line.
std::string SystemMessage(DWORD error);

class RecycleBin
{
public:
    enum class Result
    {
        Recycled,
        // It would have been deleted for good: left where it is.
        NotRecyclable,
        Failed,
    };

    // Whether a file would go to the Recycle Bin rather than be deleted for good;
    // a test stands in here for a drive without one.
    using WillRecycle = std::function<bool(const std::string& path)>;

    // Asks the shell's file operation object, on this thread, whether it works.
    explicit RecycleBin(WillRecycle willRecycle);
    ~RecycleBin();
    RecycleBin(const RecycleBin&) = delete;
    RecycleBin& operator=(const RecycleBin&) = delete;

    // Before the operation: false for a file that cannot go to the Recycle Bin
    // (a volume without one, a network folder, a path the shell cannot take).
    bool MayRecycle(const std::string& path) const;
    // Recycles every path; results[i] and errors[i] tell what became of paths[i].
    void Recycle(const std::vector<std::string>& paths, std::vector<Result>& results, std::vector<DWORD>& errors);
    // True when the shell's file operation object does the work.
    bool ByFileOperation() const { return byFileOperation; }

private:
    const WillRecycle willRecycle;
    const HRESULT com;
    bool byFileOperation = false;
    // Each volume's answer, asked once: asking counts everything in its Recycle Bin.
    mutable std::map<std::wstring, bool> volumes;

    // Returns the indexes whose result the operation did not give.
    std::vector<size_t> RecycleByFileOperation(const std::vector<std::string>& paths, const std::vector<size_t>& items,
                                               std::vector<Result>& results, std::vector<DWORD>& errors);
    void RecycleByShFileOperation(const std::vector<std::string>& paths, const std::vector<size_t>& items,
                                  std::vector<Result>& results, std::vector<DWORD>& errors);
};
