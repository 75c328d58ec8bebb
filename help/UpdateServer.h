// Where the update check fetches the version file from.
#pragma once

#include <string>

struct UpdateServer
{
    // The name resolved for the connection.
    std::string domain;
    unsigned short port = 80;
    // The name written in the request line and the Host header.
    std::string webHost;
    // The maker's web address shown in the report.
    std::string webAddress;
};

// The server the program was built for, on port 80.
UpdateServer ConfiguredUpdateServer();
