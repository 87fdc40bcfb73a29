// Discovery: unicast queries to each target (never broadcast), answers kept for a while.
#include "discovery.h"
#include "lsdk_private.h"

#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace lsdk {

namespace {

constexpr char kQuery[] = "{\"cmd\":\"discover\"}";
constexpr int kFirstDefaultHost = 1, kLastDefaultHost = 8;
constexpr size_t kMaxDatagram = 65536;

bool allLoopback(const std::vector<DiscoveryTarget> &targets)
{
    return std::all_of(targets.begin(), targets.end(),
                       [](const DiscoveryTarget &t) { return ntohl(t.address) >> 24 == 127; });
}

std::string trimmed(const std::string &text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

Discovery::Discovery(std::vector<DiscoveryTarget> targets) : m_targets(std::move(targets)) {}

Discovery::~Discovery()
{
    setRunning(false);
}

bool Discovery::setRunning(bool run)
{
    if (!run) {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
        }
        return true;
    }
    if (m_thread.joinable())
        return true;
    // No SO_BROADCAST: a broadcast address among the targets is refused by the kernel.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        logLine("discovery socket failed: %s", std::strerror(errno));
        return false;
    }
    // Loopback targets only: nothing outside this machine can reach the socket.
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(allLoopback(m_targets) ? INADDR_LOOPBACK : INADDR_ANY);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), sizeof local) != 0) {
        logLine("discovery socket bind failed: %s", std::strerror(errno));
        ::close(fd);
        return false;
    }
    m_stop = false;
    m_thread = std::thread(&Discovery::loop, this, fd);
    return true;
}

void Discovery::loop(int fd)
{
    auto nextQuery = Clock::now();
    while (!m_stop) {
        const auto now = Clock::now();
        if (now >= nextQuery) {
            sendQueries(fd);
            nextQuery = now + kInterval;
        }
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(nextQuery - Clock::now()).count();
        pollfd p{fd, POLLIN, 0};
        // Short slices so that stopping never waits long.
        if (::poll(&p, 1, static_cast<int>(std::clamp<long long>(wait, 0, 100))) > 0)
            readAnswer(fd);
    }
    ::close(fd);
}

void Discovery::sendQueries(int fd)
{
    for (const DiscoveryTarget &target : m_targets) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = target.address;
        to.sin_port = htons(target.port);
        // A target that is down gives ECONNREFUSED later, on another call: ignored.
        ::sendto(fd, kQuery, sizeof kQuery - 1, MSG_NOSIGNAL, reinterpret_cast<const sockaddr *>(&to), sizeof to);
    }
}

void Discovery::readAnswer(int fd)
{
    std::string buffer(kMaxDatagram, '\0');
    for (;;) {
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t n =
            ::recvfrom(fd, buffer.data(), buffer.size(), 0, reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0)
            continue; // an error reported for an earlier datagram (a refused target): read on
        // Only an address that was asked may answer, and only for itself: a camera is listed
        // (and later logged in to) under the address its answer came from.
        const uint32_t sender = from.sin_addr.s_addr;
        if (from.sin_family != AF_INET ||
            std::none_of(m_targets.begin(), m_targets.end(),
                         [sender](const DiscoveryTarget &t) { return t.address == sender; }))
            continue;
        try {
            const nlohmann::json answer = nlohmann::json::parse(buffer.begin(), buffer.begin() + n);
            uint32_t claimed = 0;
            if (!answer.is_object() || !answer.contains("ip") || !answer["ip"].is_string() ||
                !parseIpv4(answer["ip"].get<std::string>(), &claimed) || claimed != sender ||
                !answer.contains("discover") || !answer["discover"].is_object())
                continue;
            const nlohmann::json &discover = answer["discover"];
            if (!discover.contains("port") || !discover["port"].is_number_integer())
                continue;
            const int64_t port = discover["port"].get<int64_t>();
            if (port < 1 || port > 65535)
                continue;
            std::lock_guard<std::mutex> lock(m_mutex);
            Entry &entry = m_entries[ntohl(sender)];
            entry.json = answer.dump();
            entry.port = static_cast<uint16_t>(port);
            entry.seen = Clock::now();
        } catch (const nlohmann::json::exception &) {
            // Not JSON: not one of ours.
        }
    }
}

void Discovery::pruneLocked(Clock::time_point now)
{
    for (auto it = m_entries.begin(); it != m_entries.end();)
        it = now - it->second.seen > kAgeOut ? m_entries.erase(it) : std::next(it);
}

std::string Discovery::devicesJson()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    pruneLocked(Clock::now());
    std::string out = "[";
    for (const auto &[address, entry] : m_entries) {
        if (out.size() > 1)
            out += ',';
        out += entry.json;
    }
    return out + "]";
}

bool Discovery::commandPort(const std::string &ip, uint16_t *port)
{
    uint32_t address = 0;
    if (!parseIpv4(ip, &address))
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    pruneLocked(Clock::now());
    const auto it = m_entries.find(ntohl(address));
    if (it == m_entries.end())
        return false;
    *port = it->second.port;
    return true;
}

std::vector<DiscoveryTarget> Discovery::parseTargets(const std::string &text)
{
    std::vector<DiscoveryTarget> targets;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        const std::string item = trimmed(text.substr(start, comma - start));
        start = comma + 1;
        if (item.empty())
            continue; // "a:1,,b:2" or a trailing comma
        DiscoveryTarget target;
        if (parseHostPort(item, &target.address, &target.port) && target.address != INADDR_ANY &&
            target.address != INADDR_BROADCAST)
            targets.push_back(target);
        else
            logLine("LSDK_DISCOVERY_TARGETS: ignoring \"%s\" (expected IPv4 address:port)", item.c_str());
    }
    return targets;
}

std::vector<DiscoveryTarget> Discovery::targetsFromEnvironment()
{
    const char *text = std::getenv("LSDK_DISCOVERY_TARGETS");
    if (text && *text)
        return parseTargets(text);
    std::vector<DiscoveryTarget> targets;
    for (int host = kFirstDefaultHost; host <= kLastDefaultHost; ++host)
        targets.push_back({htonl((127u << 24) | uint32_t(host)), kDefaultPort});
    return targets;
}

} // namespace lsdk
