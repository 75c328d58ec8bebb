// The one settings record: what settings.dat keeps, and the run-time state the
// pages and the workers share.
#pragma once

#include "engine/Operation.h"
#include "engine/SearchCriteria.h"
#include "settings/SettingsFile.h"

#include <atomic>
#include <shared_mutex>
#include <cstdint>
#include <string>
#include <vector>

class CWiperSettings : public PersistedSettings
{
public:
    // Always ends with a backslash; settings.dat lies in it.
    std::string installFolder;
    // The operation asked for; None again when its worker has ended.
    std::atomic<Operation> requestedOperation{Operation::None};
    // The operation whose worker runs.
    std::atomic<Operation> runningOperation{Operation::None};
    std::vector<std::string> locations;
    std::vector<FoundFile> foundFiles;
    // The texts the rows of foundFiles point into; emptied with them.
    TextStore foundTexts;
    // Held shared to read foundFiles and exclusively to change it, so the result
    // list can paint rows while a worker changes them.
    mutable std::shared_mutex foundFilesLock;
    std::atomic<uint64_t> foundCount{0};

    void SetDefaults();
    // False when the file is missing (defaults applied) or unreadable (a message was shown).
    bool Load();
    // False when the file could not be written (a message was shown); the old file is then intact.
    bool Save();
    void SetPassword(const std::string& password);
    bool CheckPassword(const std::string& password) const;

    std::string FilePath() const;
};
