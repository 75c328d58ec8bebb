// The one settings record: what settings.dat keeps, where it lies, and the
// password check. It shows no message: a failure is returned to the caller,
// which reports it with ShowSettingsFailure.
#pragma once

#include "framework/UserFolder.h"
#include "settings/SettingsFile.h"

#include <windows.h>

#include <string>

// Why settings.dat was not read or written.
struct SettingsFailure
{
    std::string path;
    // "open" or "write", with the system's error; empty when the file's content is wrong.
    std::string what;
    DWORD error = 0;
};

enum class SettingsLoad
{
    Read,
    // No file: the defaults apply.
    Missing,
    // The file could not be read: the defaults apply, and the file is kept
    // aside (settings.dat.unreadable) before the first save over it.
    Failed,
};

class CWiperSettings : public PersistedSettings
{
public:
    // Both end with a backslash. settings.dat lies in the settings folder, the
    // user's own, or beside the program when none is given; an older version
    // kept it in the installation folder, where a standard user cannot write.
    std::string installFolder;
    std::string settingsFolder;

    void SetDefaults();
    // Reads settings.dat; `failure`, when given, says why it Failed. With no
    // file of its own yet, a readable one in the installation folder is read.
    SettingsLoad Load(SettingsFailure* failure = nullptr);
    // False when the file could not be written, with the reason in `failure`
    // when given; the old file is then intact.
    bool Save(SettingsFailure* failure = nullptr) const;
    void SetPassword(const std::string& password);
    // True for the stored password; a digest of an earlier version that it opens
    // is replaced by today's, which the next save stores.
    bool CheckPassword(const std::string& password);

    std::string FilePath() const;
    // The folder settings.dat lies in, ending with a backslash; the program's
    // other files of the user's lie beside it.
    std::string Folder() const;

private:
    // The file at FilePath() could not be read and is not ours to overwrite
    // until it has been moved aside; the save that moves it clears this.
    mutable bool keepUnreadableFile = false;

    // True when the file at path was read into the record.
    bool Read(const std::string& path, SettingsFailure* failure);
    // Moves the unreadable file aside, replacing an older one; false when it stays.
    bool MoveUnreadableAside(DWORD& error) const;
};

// The program's message for a failure of Load or Save.
void ShowSettingsFailure(HWND owner, const SettingsFailure& failure);
