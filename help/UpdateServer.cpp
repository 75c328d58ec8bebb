#include "help/UpdateServer.h"

// The build passes the three names in (see help/CMakeLists.txt).
UpdateServer ConfiguredUpdateServer()
{
    UpdateServer server;
    server.domain = VELMORA_UPDATE_DOMAIN;
    server.port = 80;
    server.webHost = VELMORA_UPDATE_WEB_HOST;
    server.webAddress = VELMORA_MAKER_WEB_ADDRESS;
    return server;
}
