#include "help/HelpViewerSession.h"

#include "framework/MessageLoop.h"

#include <htmlhelp.h>

HelpViewerSession::HelpViewerSession(HtmlHelpLoader& loader) : loader(loader)
{
    loader.Call(nullptr, "", HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&cookie));
    SetLoopMessageFilter([this](MSG& msg) {
        return this->loader.Call(nullptr, "", HH_PRETRANSLATEMESSAGE, reinterpret_cast<DWORD_PTR>(&msg)) != nullptr;
    });
}

HelpViewerSession::~HelpViewerSession()
{
    SetLoopMessageFilter(nullptr);
    loader.Call(nullptr, "", HH_UNINITIALIZE, cookie);
}
