// Finds cameras by asking a list of UDP targets once a second and keeping their answers
// (only a target's answer for its own address).
#ifndef LSDK_DISCOVERY_H
#define LSDK_DISCOVERY_H

#include "net_io.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace lsdk {

struct DiscoveryTarget
{
    uint32_t address = 0; // network byte order
    uint16_t port = 0;
};

class Discovery
{
public:
    // How long a camera stays listed after its last answer.
    static constexpr std::chrono::milliseconds kAgeOut{3500};
    static constexpr std::chrono::milliseconds kInterval{1000};
    static constexpr uint16_t kDefaultPort = 35200;

    explicit Discovery(std::vector<DiscoveryTarget> targets);
    ~Discovery();
    Discovery(const Discovery &) = delete;
    Discovery &operator=(const Discovery &) = delete;

    // Starts or stops the background search; false when the socket cannot be opened.
    bool setRunning(bool run);
    // The cameras heard from within kAgeOut, as a JSON array sorted by address.
    std::string devicesJson();
    // The command port a camera at ip last announced, if it is still listed.
    bool commandPort(const std::string &ip, uint16_t *port);

    // LSDK_DISCOVERY_TARGETS ("a.b.c.d:port,..."), or 127.0.0.1..8 at kDefaultPort when unset
    // or empty. Bad entries are left out with a line on stderr.
    static std::vector<DiscoveryTarget> targetsFromEnvironment();
    // The same parsing for a given text.
    static std::vector<DiscoveryTarget> parseTargets(const std::string &text);

private:
    struct Entry
    {
        std::string json;
        uint16_t port = 0;
        Clock::time_point seen;
    };

    void loop(int fd);
    void sendQueries(int fd);
    void readAnswer(int fd);
    void pruneLocked(Clock::time_point now);

    const std::vector<DiscoveryTarget> m_targets;
    std::mutex m_mutex;
    std::map<uint32_t, Entry> m_entries; // key: address in host order, so the map is sorted
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

} // namespace lsdk

#endif // LSDK_DISCOVERY_H
