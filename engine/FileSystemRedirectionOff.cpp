#include "engine/FileSystemRedirectionOff.h"

// A 64-bit program is never redirected, and a 32-bit one on 32-bit Windows has
// nothing to turn off: the call then fails and the guard does nothing.
FileSystemRedirectionOff::FileSystemRedirectionOff()
{
#ifndef _WIN64
    disabled = Wow64DisableWow64FsRedirection(&previous) != FALSE;
#endif
}

FileSystemRedirectionOff::~FileSystemRedirectionOff()
{
#ifndef _WIN64
    if (disabled)
        Wow64RevertWow64FsRedirection(previous);
#endif
}
