#include <winsock2.h>

#include "tests/support/LocalHttpServer.h"

#include <algorithm>

namespace
{
sockaddr_in Loopback(unsigned short port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

unsigned short BoundPort(SOCKET socket)
{
    sockaddr_in address = {};
    int length = sizeof(address);
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

// Sends everything, counting it in `sent`; false when the client went away.
bool SendAll(SOCKET socket, const char* data, size_t size, std::atomic<size_t>& sent)
{
    for (size_t done = 0; done < size;)
    {
        int count = send(socket, data + done, int(size - done), 0);
        if (count == SOCKET_ERROR)
            return false;
        done += count;
        sent += count;
    }
    return true;
}

const size_t kFillerChunk = 65536;
}

LocalHttpServer::LocalHttpServer(Answer answer, std::string reply) : answer(answer), reply(std::move(reply))
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    if (socket == INVALID_SOCKET || bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        listen(socket, 4) != 0)
    {
        if (socket != INVALID_SOCKET)
            closesocket(socket);
        return;
    }
    listener = socket;
    port = BoundPort(socket);
    thread = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer()
{
    stop = true;
    if (thread.joinable())
        thread.join();
    if (Listening())
        closesocket(listener);
    WSACleanup();
}

void LocalHttpServer::SetAnswer(Answer newAnswer, std::string newReply)
{
    std::lock_guard<std::mutex> guard(lock);
    answer = newAnswer;
    reply = std::move(newReply);
}

std::string LocalHttpServer::Request() const
{
    std::lock_guard<std::mutex> guard(lock);
    return request;
}

unsigned short LocalHttpServer::UnusedPort()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = Loopback(0);
    bind(socket, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    unsigned short port = BoundPort(socket);
    // Bound but never listening, then closed: connecting there is refused.
    closesocket(socket);
    WSACleanup();
    return port;
}

void LocalHttpServer::Serve()
{
    while (WaitReadable(listener))
    {
        SOCKET client = accept(listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        connections++;
        clientConnected = true;
        Handle(client);
        closesocket(client);
        clientConnected = false;
    }
}

void LocalHttpServer::Handle(uintptr_t client)
{
    Answer how;
    std::string text;
    {
        std::lock_guard<std::mutex> guard(lock);
        how = answer;
        text = reply;
        request.clear();
    }
    if (how == Answer::CloseAtOnce || !ReadRequest(client))
        return;
    if (how != Answer::Silent)
    {
        // A client that stops reading a long reply is no failure of the server.
        SendReply(client, how, text);
        shutdown(client, SD_SEND);
    }
    // Until the client closes: a silent server keeps the check waiting, and the
    // client of a reply reads all of it before the connection goes.
    char buffer[4096];
    while (WaitReadable(client) && recv(client, buffer, sizeof(buffer), 0) > 0)
    {
    }
}

void LocalHttpServer::SendReply(uintptr_t client, Answer how, const std::string& text)
{
    if (how == Answer::Trickle)
    {
        for (char byte : text)
        {
            if (stop || !SendAll(client, &byte, 1, bytesSent))
                return;
            Sleep(kTrickleMs);
        }
        return;
    }
    if (!SendAll(client, text.data(), text.size(), bytesSent))
        return;
    if (how != Answer::Flood)
        return;
    const std::string filler(kFillerChunk, 'x');
    for (size_t left = kFloodBytes - text.size(); left > 0 && !stop;)
    {
        const size_t size = std::min(left, filler.size());
        if (!SendAll(client, filler.data(), size, bytesSent))
            return;
        left -= size;
    }
}

bool LocalHttpServer::ReadRequest(uintptr_t client)
{
    std::string received;
    char buffer[4096];
    while (received.find("\r\n\r\n") == std::string::npos)
    {
        if (!WaitReadable(client))
            return false;
        int count = recv(client, buffer, sizeof(buffer), 0);
        if (count <= 0)
            return false;
        received.append(buffer, count);
        std::lock_guard<std::mutex> guard(lock);
        request = received;
    }
    return true;
}

bool LocalHttpServer::WaitReadable(uintptr_t socket)
{
    while (!stop)
    {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(socket, &readable);
        timeval timeout = {0, 20000};
        int ready = select(0, &readable, nullptr, nullptr, &timeout);
        if (ready == SOCKET_ERROR)
            return false;
        if (ready > 0)
            return true;
    }
    return false;
}
