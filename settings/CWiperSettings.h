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
    // Both end with a backslash. settings.dat lies in the settings folder, the
    // user's own, or beside the program when none is given; an older version
    // kept it in the installation folder, where a standard user cannot write.
    std::string installFolder;
    std::string settingsFolder;
    // The operation asked for; None again when its worker has ended.
    std::atomic<Operation> requestedOperation{Operation::None};
    // The operation whose worker runs.
    std::atomic<Operation> runningOperation{Operation::None};
    std::vector<std::string> locations;
    std::vector<FoundFile> foundFiles;
    // Each row's place in the found order once a deletion dropped rows (FoundPlace).
    std::vector<uint32_t> foundPlaces;
    // The texts the rows of foundFiles point into; emptied with them.
    TextStore foundTexts;
    // Held shared to read foundFiles and foundPlaces and exclusively to change it, so the result
    // list can paint rows while a worker changes them.
    mutable std::shared_mutex foundFilesLock;
    std::atomic<uint64_t> foundCount{0};

    void SetDefaults();
    // False when the file is missing (defaults applied) or unreadable (a message was shown).
    // With no file of its own yet, a readable one in the installation folder is read.
    bool Load();
    // At the end of a Windows session nothing may wait for the user.
    enum class SaveFailure
    {
        Shown,
        Silent
    };
    // False when the file could not be written (a message was shown unless Silent);
    // the old file is then intact.
    bool Save(SaveFailure failure = SaveFailure::Shown);
    void SetPassword(const std::string& password);
    bool CheckPassword(const std::string& password) const;

    std::string FilePath() const;

private:
    bool Read(const std::string& path, bool reportFailures);
};

// Where a user's settings live: their local application data folder's Velmora
// folder, ending with a backslash; empty when Windows does not say.
std::string UserSettingsFolder();
