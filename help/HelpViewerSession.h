// The help viewer set up to run its windows on the thread that creates the
// session: initialised for the session's life, and shown the thread's loop
// messages before they are dispatched, so its keys and its own windows work.
#pragma once

#include "help/HtmlHelpLoader.h"

#include <windows.h>

class HelpViewerSession
{
public:
    explicit HelpViewerSession(HtmlHelpLoader& loader = ProcessHelpLoader());
    ~HelpViewerSession();
    HelpViewerSession(const HelpViewerSession&) = delete;
    HelpViewerSession& operator=(const HelpViewerSession&) = delete;

private:
    HtmlHelpLoader& loader;
    // The viewer's token for this session, given back when it ends.
    DWORD cookie = 0;
};
