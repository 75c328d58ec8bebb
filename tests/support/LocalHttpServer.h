// A small HTTP server on 127.0.0.1 for the update check's tests: it takes one
// connection at a time on a thread of its own and answers as it was told.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class LocalHttpServer
{
public:
    enum class Answer
    {
        // Reads the request up to its empty line, sends the reply and closes.
        Reply,
        // Closes each connection as soon as it is accepted.
        CloseAtOnce,
        // Reads the request and then says nothing until the client closes.
        Silent,
        // Sends the reply one byte every kTrickleMs.
        Trickle,
        // Sends the reply, then filler up to kFloodBytes in all.
        Flood,
    };
    static constexpr int kTrickleMs = 200;
    static constexpr size_t kFloodBytes = 100 * 1024 * 1024;

    LocalHttpServer(Answer answer, std::string reply = "");
    ~LocalHttpServer();

    // False when the server could not start; then there is no port.
    bool Listening() const { return listener != ~uintptr_t(0); }
    unsigned short Port() const { return port; }
    // Changes the answer for the next connections.
    void SetAnswer(Answer answer, std::string reply = "");
    // The bytes the last client sent before its request's empty line, that line included.
    std::string Request() const;
    int Connections() const { return connections; }
    // The bytes of replies sent so far.
    size_t BytesSent() const { return bytesSent; }
    // True while a client is connected.
    bool ClientConnected() const { return clientConnected; }

    // A port on 127.0.0.1 where nothing listens.
    static unsigned short UnusedPort();

private:
    uintptr_t listener = ~uintptr_t(0);
    unsigned short port = 0;
    mutable std::mutex lock;
    Answer answer;
    std::string reply;
    std::string request;
    std::atomic<int> connections{0};
    std::atomic<size_t> bytesSent{0};
    std::atomic<bool> clientConnected{false};
    std::atomic<bool> stop{false};
    std::thread thread;

    void Serve();
    void Handle(uintptr_t client);
    // Reads until the request's empty line; false when the client left first or the server stops.
    bool ReadRequest(uintptr_t client);
    // Waits until the socket is readable; false when the server stops first.
    bool WaitReadable(uintptr_t socket);
    // Sends the reply as told, until the client goes away.
    void SendReply(uintptr_t client, Answer how, const std::string& text);
};
