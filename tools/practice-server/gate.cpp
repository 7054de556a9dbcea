#include "gate.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace practice {
namespace {

using Clock = std::chrono::steady_clock;

int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads what is there within the deadline; 0 at the end of the stream or when time ran out.
ssize_t readSome(int fd, char* buf, std::size_t size, Clock::time_point deadline)
{
    pollfd p{fd, POLLIN, 0};
    const int ready = ::poll(&p, 1, msLeft(deadline));
    if (ready <= 0)
        return 0;
    const ssize_t n = ::recv(fd, buf, size, 0);
    return n < 0 ? 0 : n;
}

bool writeAll(int fd, const char* data, std::size_t size, Clock::time_point deadline)
{
    while (size > 0) {
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, msLeft(deadline)) <= 0)
            return false;
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool startsWithNoCase(const std::string& line, const char* prefix)
{
    const std::size_t n = std::strlen(prefix);
    if (line.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != prefix[i])
            return false;
    return true;
}

enum class LineCheck
{
    Incomplete,
    Good,
    Bad,
    BadVersion
};

// The request line as far as it has come: "METHOD target HTTP/1.x". Junk is told apart from a slow client at
// its first wrong byte, so it is answered at once rather than when the time for the head runs out.
LineCheck checkRequestLine(const std::string& data)
{
    const std::size_t end = data.find("\r\n");
    const std::string line = data.substr(0, std::min(end, data.size()));
    std::size_t i = 0;
    while (i < line.size() && line[i] >= 'A' && line[i] <= 'Z')
        ++i;
    if (i == line.size())
        return end == std::string::npos && i <= 16 ? LineCheck::Incomplete : LineCheck::Bad;
    if (i == 0 || i > 16 || line[i] != ' ')
        return LineCheck::Bad;
    const std::size_t targetEnd = line.find(' ', i + 1);
    for (std::size_t k = i + 1; k < std::min(targetEnd, line.size()); ++k)
        if (static_cast<unsigned char>(line[k]) <= ' ' || static_cast<unsigned char>(line[k]) >= 0x7f)
            return LineCheck::Bad;
    if (end == std::string::npos)
        return LineCheck::Incomplete;
    if (targetEnd == std::string::npos || targetEnd == i + 1)
        return LineCheck::Bad;
    const std::string version = line.substr(targetEnd + 1);
    if (version == "HTTP/1.1" || version == "HTTP/1.0")
        return LineCheck::Good;
    return version.rfind("HTTP/", 0) == 0 ? LineCheck::BadVersion : LineCheck::Bad;
}

std::string peerAddress(int fd)
{
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    char text[INET_ADDRSTRLEN] = {};
    if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &len) != 0 ||
        !::inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text))
        return {};
    return text;
}

void answerAndClose(int fd, const char* status)
{
    const std::string text = std::string("HTTP/1.1 ") + status + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    writeAll(fd, text.data(), text.size(), Clock::now() + std::chrono::seconds(1));
}

} // namespace

RequestGate::RequestGate(Limits limits) : m_limits(limits) {}

RequestGate::~RequestGate()
{
    stop();
    if (m_listen >= 0)
        ::close(m_listen);
}

int RequestGate::bind(int port)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listen < 0)
        return -1;
    const int yes = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_listen, 64) != 0 ||
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(m_listen);
        m_listen = -1;
        return -1;
    }
    return ntohs(addr.sin_port);
}

void RequestGate::run(int backendPort)
{
    while (!m_stopping) {
        pollfd p{m_listen, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        const int client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0)
            continue;
        {
            const std::string address = peerAddress(client);
            std::lock_guard lock(m_mutex);
            if (!makeRoom(address)) {
                answerAndClose(client, "503 Service Unavailable");
                ::close(client);
                continue;
            }
            ++m_active;
            m_clients[client] = Client{address, Clock::now(), false};
        }
        std::thread([this, client, backendPort] {
            serve(client, backendPort);
            std::lock_guard lock(m_mutex);
            m_clients.erase(client);
            ::close(client);
            --m_active;
            m_idle.notify_all();
        }).detach();
    }
    ::close(m_listen); // here, so that no poll above is left watching a closed socket
    m_listen = -1;
}

bool RequestGate::makeRoom(const std::string& address)
{
    int fromAddress = 0;
    for (const auto& [fd, c] : m_clients)
        fromAddress += c.address == address ? 1 : 0;
    const bool addressFull = fromAddress >= m_limits.perAddress;
    if (!addressFull && static_cast<int>(m_clients.size()) < m_limits.connections)
        return true;
    // The oldest connection that has not even sent its head (of that address, when it is the one over its
    // share) gives way: a crowd of slow clients cannot keep a real one out.
    int oldest = -1;
    for (const auto& [fd, c] : m_clients) {
        if (c.headRead || (addressFull && c.address != address))
            continue;
        if (oldest < 0 || c.since < m_clients[oldest].since)
            oldest = fd;
    }
    if (oldest < 0)
        return false;
    ::shutdown(oldest, SHUT_RDWR);     // its thread ends and closes it
    m_clients[oldest].headRead = true; // not chosen twice
    return true;
}

void RequestGate::headRead(int client)
{
    std::lock_guard lock(m_mutex);
    if (const auto it = m_clients.find(client); it != m_clients.end())
        it->second.headRead = true;
}

void RequestGate::stop()
{
    m_stopping = true;
    std::unique_lock lock(m_mutex);
    for (const auto& [fd, c] : m_clients)
        ::shutdown(fd, SHUT_RDWR); // their reads and writes end at once
    m_idle.wait_for(lock, m_limits.answerTime, [this] { return m_active == 0; });
}

void RequestGate::serve(int client, int backendPort)
{
    const auto deadline = Clock::now() + m_limits.requestTime;
    std::string data;
    std::size_t headEnd = std::string::npos;
    char buf[4096];
    while (headEnd == std::string::npos) {
        const ssize_t n = readSome(client, buf, sizeof buf, deadline);
        if (n <= 0) {
            if (!data.empty() && msLeft(deadline) == 0)
                answerAndClose(client, "408 Request Timeout");
            return;
        }
        data.append(buf, static_cast<std::size_t>(n));
        switch (checkRequestLine(data)) {
        case LineCheck::Bad:
            answerAndClose(client, "400 Bad Request");
            return;
        case LineCheck::BadVersion:
            answerAndClose(client, "505 HTTP Version Not Supported");
            return;
        default:
            break;
        }
        headEnd = data.find("\r\n\r\n");
        if (headEnd == std::string::npos && data.size() > m_limits.headBytes) {
            answerAndClose(client, "431 Request Header Fields Too Large");
            return;
        }
    }
    // The head, with the connection closed after this one answer: each request comes through the gate.
    headRead(client);
    std::string head;
    std::size_t contentLength = 0;
    int lengths = 0;
    int lines = 0;
    std::size_t pos = 0;
    while (pos < headEnd) {
        std::size_t eol = data.find("\r\n", pos);
        const std::string line = data.substr(pos, eol - pos);
        pos = eol + 2;
        if (++lines > m_limits.headerLines || line.size() > 8192) {
            answerAndClose(client, "431 Request Header Fields Too Large");
            return;
        }
        if (startsWithNoCase(line, "connection:") || startsWithNoCase(line, "keep-alive:"))
            continue;
        if (startsWithNoCase(line, "transfer-encoding:")) {
            answerAndClose(client, "501 Not Implemented"); // chunked bodies: nothing of the game sends one
            return;
        }
        if (startsWithNoCase(line, "content-length:")) {
            const char* value = line.c_str() + 15;
            while (*value == ' ' || *value == '\t')
                ++value;
            char* end = nullptr;
            contentLength = std::strtoull(value, &end, 10);
            if (++lengths > 1 || end == value || *end != '\0' || *value == '-') {
                answerAndClose(client, "400 Bad Request"); // two lengths or none readable: smuggling or junk
                return;
            }
        }
        head += line + "\r\n";
    }
    if (contentLength > m_limits.bodyBytes) {
        answerAndClose(client, "413 Payload Too Large");
        return;
    }
    head += "Connection: close\r\n\r\n";
    std::string body = data.substr(headEnd + 4);
    while (body.size() < contentLength) {
        const ssize_t n = readSome(client, buf, sizeof buf, deadline);
        if (n <= 0) {
            answerAndClose(client, "408 Request Timeout");
            return;
        }
        body.append(buf, static_cast<std::size_t>(n));
    }

    const int backend = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(backendPort));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto answerBy = Clock::now() + m_limits.answerTime;
    if (backend < 0 || ::connect(backend, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        !writeAll(backend, head.data(), head.size(), answerBy) ||
        !writeAll(backend, body.data(), std::min(body.size(), contentLength), answerBy)) {
        if (backend >= 0)
            ::close(backend);
        answerAndClose(client, "502 Bad Gateway");
        return;
    }
    for (;;) {
        const ssize_t n = readSome(backend, buf, sizeof buf, answerBy);
        if (n <= 0 || !writeAll(client, buf, static_cast<std::size_t>(n), answerBy))
            break;
    }
    ::close(backend);
}

} // namespace practice
