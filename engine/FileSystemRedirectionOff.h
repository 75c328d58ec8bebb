// Lets a 32-bit program on 64-bit Windows see the folders as they are: there a
// path into System32 silently opens SysWOW64 instead. The redirection belongs to
// the thread; a guard turns it off for its own lifetime only, so nothing that may
// load code (a message box, a shell call, a DLL) runs while one lives.
#pragma once

#include <windows.h>

class FileSystemRedirectionOff
{
public:
    FileSystemRedirectionOff();
    ~FileSystemRedirectionOff();
    FileSystemRedirectionOff(const FileSystemRedirectionOff&) = delete;
    FileSystemRedirectionOff& operator=(const FileSystemRedirectionOff&) = delete;

private:
    PVOID previous = nullptr;
    bool disabled = false;
};
