// Socket helpers: non-blocking sockets driven by poll() so that every wait has a deadline.
#include "net_io.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lsdk {

namespace {

// Slice of a wait, so that a stop request is noticed even if no shutdown() wakes poll().
constexpr int kStopPollMs = 100;

int remainingMs(Clock::time_point deadline)
{
    if (deadline == Clock::time_point::max())
        return -1;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, 1 << 30));
}

// Waits for the socket to become ready; false on time-out or stop.
bool waitFor(int fd, short events, Clock::time_point deadline, const std::atomic<bool> *stop, bool *stopped)
{
    for (;;) {
        if (stop && stop->load()) {
            *stopped = true;
            return false;
        }
        int timeout = remainingMs(deadline);
        if (timeout == 0)
            return false;
        if (stop && (timeout < 0 || timeout > kStopPollMs))
            timeout = kStopPollMs;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, timeout);
        if (n > 0)
            return true; // readiness or an error: the following read/write tells which
        if (n < 0 && errno != EINTR)
            return true;
    }
}

IoResult readExactly(int fd, char *buffer, size_t size, Clock::time_point deadline, const std::atomic<bool> *stop)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::recv(fd, buffer + done, size - done, 0);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n == 0)
            return IoResult::Closed;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return IoResult::Closed;
        bool stopped = false;
        if (!waitFor(fd, POLLIN, deadline, stop, &stopped))
            return stopped ? IoResult::Closed : IoResult::TimedOut;
    }
    return IoResult::Ok;
}

} // namespace

bool parseIpv4(const std::string &text, uint32_t *addressNetworkOrder)
{
    in_addr address{};
    // inet_pton accepts only the four-part dotted decimal form for AF_INET.
    if (text.empty() || text.size() > 15 || ::inet_pton(AF_INET, text.c_str(), &address) != 1)
        return false;
    *addressNetworkOrder = address.s_addr;
    return true;
}

bool parseHostPort(const std::string &text, uint32_t *addressNetworkOrder, uint16_t *port)
{
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos)
        return false;
    const std::string portText = text.substr(colon + 1);
    if (portText.empty() || portText.size() > 5 || portText.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const unsigned long value = std::stoul(portText);
    if (value < 1 || value > 65535)
        return false;
    if (!parseIpv4(text.substr(0, colon), addressNetworkOrder))
        return false;
    *port = static_cast<uint16_t>(value);
    return true;
}

int connectTcp(const std::string &ip, uint16_t port, int timeoutMs)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (port == 0 || !parseIpv4(ip, &address.sin_addr.s_addr))
        return -1;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0)
        return fd;
    if (errno != EINPROGRESS) {
        ::close(fd);
        return -1;
    }
    bool stopped = false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int error = 0;
    socklen_t length = sizeof error;
    if (!waitFor(fd, POLLOUT, deadline, nullptr, &stopped) ||
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void closeSocket(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

IoResult sendMessage(int fd, const std::string &payload, Clock::time_point deadline)
{
    if (payload.size() > kMaxMessageSize)
        return IoResult::TooLarge;
    const uint32_t size = static_cast<uint32_t>(payload.size());
    std::string wire;
    wire.reserve(payload.size() + 4);
    wire.push_back(static_cast<char>(size >> 24));
    wire.push_back(static_cast<char>(size >> 16));
    wire.push_back(static_cast<char>(size >> 8));
    wire.push_back(static_cast<char>(size));
    wire += payload;

    size_t done = 0;
    while (done < wire.size()) {
        const ssize_t n = ::send(fd, wire.data() + done, wire.size() - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return IoResult::Closed;
        bool stopped = false;
        if (!waitFor(fd, POLLOUT, deadline, nullptr, &stopped))
            return IoResult::TimedOut;
    }
    return IoResult::Ok;
}

IoResult receiveMessage(int fd, std::string *payload, Clock::time_point deadline, uint32_t maxSize,
                        const std::atomic<bool> *stop)
{
    uint8_t header[4];
    IoResult result = readExactly(fd, reinterpret_cast<char *>(header), sizeof header, deadline, stop);
    if (result != IoResult::Ok)
        return result;
    const uint32_t size = readBe32(header);
    if (size > maxSize)
        return IoResult::TooLarge;
    payload->assign(size, '\0');
    return size == 0 ? IoResult::Ok : readExactly(fd, payload->data(), size, deadline, stop);
}

uint32_t readBe32(const uint8_t *p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

uint64_t readBe64(const uint8_t *p)
{
    return (uint64_t(readBe32(p)) << 32) | readBe32(p + 4);
}

} // namespace lsdk
