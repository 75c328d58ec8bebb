#include <winsock2.h>
#include <ws2tcpip.h>

#include "help/CUpdateCheckThread.h"

#include "framework/Text.h"
#include "help/CWindowHelpCheckUpdates.h"
#include "help/UpdateReport.h"

#include <cstring>

namespace
{
// How often the worker looks at the abort flag while the network is quiet.
const DWORD kPollMs = 100;
// Pause between tries of a send or receive that would block.
const DWORD kRetryMs = 10;

// The last IPv4 address the resolver lists for the name.
bool Resolve(const std::string& name, unsigned short port, sockaddr_in& address)
{
    ADDRINFOW hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    ADDRINFOW* list = nullptr;
    if (GetAddrInfoW(Widen(name).c_str(), nullptr, &hints, &list) != 0)
        return false;
    bool found = false;
    for (ADDRINFOW* item = list; item; item = item->ai_next)
    {
        if (item->ai_family == AF_INET && item->ai_addrlen >= sizeof(address))
        {
            memcpy(&address, item->ai_addr, sizeof(address));
            found = true;
        }
    }
    FreeAddrInfoW(list);
    address.sin_port = htons(port);
    return found;
}
}

HANDLE CUpdateCheckThread::StartCheck(CWindowHelpCheckUpdates* page)
{
    return (new CUpdateCheckThread(page))->Start();
}

CUpdateCheckThread::CUpdateCheckThread(CWindowHelpCheckUpdates* page)
    : page(page), window(page->hwnd), server(page->server), socket(INVALID_SOCKET)
{
}

void CUpdateCheckThread::Abandon()
{
    Close();
    PostMessageW(window, WM_UPDATE_STATUS, 1, 0);
}

void CUpdateCheckThread::Run()
{
    report = CheckingText();
    Publish(false);
    if (Connect())
    {
        Exchange();
        Drain();
        if (tooLarge)
            report += InformationFailureText(server.webAddress);
        else
            report = FinalReport(report, reply, server.webAddress);
    }
    // Closed before the final status, which must be the last thing the worker does.
    Close();
    Publish(true);
}

bool CUpdateCheckThread::Connect()
{
    WSADATA data;
    libraryStarted = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (socket != INVALID_SOCKET)
        networkEvent = WSACreateEvent();
    if (socket == INVALID_SOCKET || networkEvent == WSA_INVALID_EVENT)
    {
        report = ConnectionFailureBlock() + VisitLine(server.webAddress);
        return false;
    }
    sockaddr_in address = {};
    bool resolved = Resolve(server.domain, server.port, address);
    report = ConnectingLine(server.webAddress);
    Publish(false);
    // The events are chosen before connecting, which makes the connect non-blocking:
    // a slow one can be aborted, and the connected event surely follows it.
    if (!resolved || WSAEventSelect(socket, networkEvent, FD_CONNECT | FD_READ | FD_CLOSE) != 0 ||
        (connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 &&
         WSAGetLastError() != WSAEWOULDBLOCK) ||
        !WaitForConnection())
    {
        report += ConnectionFailureBlock() + VisitLine(server.webAddress);
        return false;
    }
    return true;
}

bool CUpdateCheckThread::WaitForConnection()
{
    // An abort ends the wait as a success: the exchange then stops at once and reports it.
    while (!AbortRequested())
    {
        fd_set writable;
        fd_set failed;
        FD_ZERO(&writable);
        FD_ZERO(&failed);
        FD_SET(socket, &writable);
        FD_SET(socket, &failed);
        timeval timeout = {0, (long)kPollMs * 1000};
        if (select(0, nullptr, &writable, &failed, &timeout) == SOCKET_ERROR || FD_ISSET(socket, &failed))
            return false;
        if (FD_ISSET(socket, &writable))
            return true;
    }
    return true;
}

void CUpdateCheckThread::Exchange()
{
    bool running = true;
    while (running && !AbortRequested())
    {
        if (WSAWaitForMultipleEvents(1, &networkEvent, FALSE, kPollMs, FALSE) == WSA_WAIT_TIMEOUT)
            continue;
        WSANETWORKEVENTS events = {};
        if (WSAEnumNetworkEvents(socket, networkEvent, &events) != 0)
        {
            ReportConnectionFailure();
            return;
        }
        if (events.lNetworkEvents & FD_CONNECT)
        {
            if (events.iErrorCode[FD_CONNECT_BIT] != 0)
            {
                ReportConnectionFailure();
                return;
            }
            running = SendRequest();
        }
        if (running && (events.lNetworkEvents & FD_READ))
        {
            if (events.iErrorCode[FD_READ_BIT] != 0)
            {
                ReportConnectionFailure();
                return;
            }
            running = Receive();
        }
        if (events.lNetworkEvents & FD_CLOSE)
            running = false;
    }
}

bool CUpdateCheckThread::SendRequest()
{
    report += "Connected\r\n";
    Publish(false);
    report += "Getting information\r\n";
    Publish(false);
    const std::string request = VersionFileRequest(server.webHost);
    size_t sent = 0;
    while (sent < request.size() && !AbortRequested())
    {
        int count = send(socket, request.data() + sent, int(request.size() - sent), 0);
        if (count != SOCKET_ERROR)
            sent += count;
        else if (WSAGetLastError() == WSAEWOULDBLOCK)
            Sleep(kRetryMs);
        else
        {
            report += "Error\r\n";
            Publish(false);
            return false;
        }
    }
    return true;
}

bool CUpdateCheckThread::Receive()
{
    while (!AbortRequested())
    {
        int count = recv(socket, buffer, sizeof(buffer), 0);
        if (count != SOCKET_ERROR)
            return Keep(count);
        if (WSAGetLastError() != WSAEWOULDBLOCK)
        {
            ReportConnectionFailure();
            return false;
        }
        Sleep(kRetryMs);
    }
    return true;
}

bool CUpdateCheckThread::Keep(int size)
{
    reply.append(buffer, size);
    if (reply.size() > kMaxReplySize)
        tooLarge = true;
    return !tooLarge;
}

void CUpdateCheckThread::Drain()
{
    while (!tooLarge && !AbortRequested())
    {
        int count = recv(socket, buffer, sizeof(buffer), 0);
        if (count <= 0 || !Keep(count))
            return;
    }
}

void CUpdateCheckThread::Close()
{
    if (socket != INVALID_SOCKET)
        closesocket(socket);
    if (networkEvent)
        WSACloseEvent(networkEvent);
    if (libraryStarted)
        WSACleanup();
    socket = INVALID_SOCKET;
    networkEvent = nullptr;
    libraryStarted = false;
}

void CUpdateCheckThread::ReportConnectionFailure()
{
    report += ConnectionFailureBlock();
    Publish(false);
}

void CUpdateCheckThread::Publish(bool ended)
{
    {
        std::lock_guard<std::mutex> lock(page->reportLock);
        page->reportText = report;
    }
    PostMessageW(window, WM_UPDATE_STATUS, ended ? 1 : 0, 0);
}

bool CUpdateCheckThread::AbortRequested() const
{
    return page->abortRequested != 0;
}
