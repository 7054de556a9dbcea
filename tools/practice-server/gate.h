#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>

namespace practice {

// The door in front of the HTTP server: it takes connections on the public port, reads one request head
// and body under a time limit and size limits, and only then hands the request to the server behind it
// (on a loopback port of its own) and relays the answer. A client that trickles its headers, sends endless
// headers or keeps a connection idle costs one bounded connection, never the server's workers.
class RequestGate
{
public:
    struct Limits
    {
        std::chrono::milliseconds requestTime{5000}; // the whole head and body must arrive within this
        std::chrono::milliseconds answerTime{30000};
        std::size_t headBytes = 32 * 1024;
        int headerLines = 100;
        std::size_t bodyBytes = 64 * 1024;
        int connections = 64; // at once: past this a connection still sending its head gives way, or 503
        int perAddress = 48;  // at once from one address
    };

    explicit RequestGate(Limits limits);
    ~RequestGate();
    RequestGate(const RequestGate&) = delete;
    RequestGate& operator=(const RequestGate&) = delete;

    // Binds the public port on 127.0.0.1 (0 picks one); the port, or -1.
    int bind(int port);
    // Serves until stop(), passing requests to 127.0.0.1:backendPort.
    void run(int backendPort);
    void stop();

private:
    struct Client
    {
        std::string address;
        std::chrono::steady_clock::time_point since;
        bool headRead = false; // a connection still sending its head is the first to give way
    };

    void serve(int client, int backendPort);
    // Makes room for a connection from `address`; false when none can be made (under m_mutex).
    bool makeRoom(const std::string& address);
    void headRead(int client);

    Limits m_limits;
    int m_listen = -1;
    std::atomic<bool> m_stopping{false};
    std::mutex m_mutex;
    std::condition_variable m_idle;
    int m_active = 0;
    std::map<int, Client> m_clients; // open client connections, cut at stop()
};

} // namespace practice
