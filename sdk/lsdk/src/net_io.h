// Blocking-with-deadline socket helpers for the camera connections: IPv4 only, every
// message a 4-byte big-endian length followed by that many bytes.
#ifndef LSDK_NET_IO_H
#define LSDK_NET_IO_H

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

namespace lsdk {

using Clock = std::chrono::steady_clock;

// The largest message either side may send.
constexpr uint32_t kMaxMessageSize = 16u * 1024u * 1024u;

enum class IoResult {
    Ok,
    TimedOut,
    Closed,   // the peer closed the connection, or it broke
    TooLarge, // a length above kMaxMessageSize: the stream can no longer be trusted
};

// Parses a dotted IPv4 address into network byte order; false for anything else.
bool parseIpv4(const std::string &text, uint32_t *addressNetworkOrder);
// Parses "a.b.c.d:port" strictly (port 1..65535, nothing else around it).
bool parseHostPort(const std::string &text, uint32_t *addressNetworkOrder, uint16_t *port);

// Connects to ip:port within timeoutMs; returns the socket (non-blocking) or -1.
int connectTcp(const std::string &ip, uint16_t port, int timeoutMs);
// Closes a socket, ignoring -1.
void closeSocket(int fd);

// Sends one length-prefixed message before the deadline.
IoResult sendMessage(int fd, const std::string &payload, Clock::time_point deadline);
// Receives one length-prefixed message before the deadline. A length above maxSize is
// refused before anything is allocated. When stop is given and becomes true, the wait ends
// as Closed within a fraction of a second.
IoResult receiveMessage(int fd, std::string *payload, Clock::time_point deadline, uint32_t maxSize = kMaxMessageSize,
                        const std::atomic<bool> *stop = nullptr);

// Reads a big-endian number from a byte buffer.
uint32_t readBe32(const uint8_t *p);
uint64_t readBe64(const uint8_t *p);

} // namespace lsdk

#endif // LSDK_NET_IO_H
