// A login session: one command connection to a camera, reopened on demand.
#ifndef LSDK_SESSION_H
#define LSDK_SESSION_H

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace lsdk {

// Where and how to log in to a camera.
struct LoginTarget
{
    std::string ip;
    uint16_t port = 0;
    std::string loginMessage; // the "login" request sent first on every connection
};

// Connects to the target and logs in. Returns L_SDK_OK with *fd set, or
// L_SDK_ERR_UNREACHABLE (no connection, no answer), L_SDK_ERR_AUTH (a non-zero login code)
// or L_SDK_ERR_FAILED (an answer that is not a login answer).
int32_t openLoggedInConnection(const LoginTarget &target, int timeoutMs, int *fd);

// Sends one message on a connection and waits for one answer; L_SDK_OK or
// L_SDK_ERR_UNREACHABLE.
int32_t exchange(int fd, const std::string &request, std::string *answer, int timeoutMs);

class Session
{
public:
    // resolvePort gives the camera's current command port (discovery may have moved it).
    Session(LoginTarget target, std::function<uint16_t()> resolvePort);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // The first connection and login.
    int32_t login();
    // One request and its answer; reconnects and logs in again after a failure.
    int32_t request(const std::string &text, std::string *answer);
    // Ends the session; a request in progress returns at once.
    void close();
    // Address, port and credentials, for the video connection of a decoder.
    LoginTarget target();

private:
    int32_t connectLocked();
    void dropConnectionLocked();

    std::mutex m_requestMutex; // serialises requests; held across the whole exchange
    std::mutex m_fdMutex;      // guards m_fd against close() from another thread
    LoginTarget m_target;
    std::function<uint16_t()> m_resolvePort;
    int m_fd = -1;
    bool m_closed = false;
};

} // namespace lsdk

#endif // LSDK_SESSION_H
