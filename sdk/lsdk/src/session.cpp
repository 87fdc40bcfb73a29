// Command connections: login handshake, request/answer exchange and reconnection.
#include "session.h"
#include "l_sdk.h"
#include "lsdk_private.h"
#include "net_io.h"

#include <nlohmann/json.hpp>

#include <sys/socket.h>

namespace lsdk {

namespace {

// The code of a {"login":{"code":N}} answer; false when the answer has another shape.
bool loginCode(const std::string &answer, int64_t *code)
{
    try {
        const nlohmann::json json = nlohmann::json::parse(answer);
        if (!json.is_object() || !json.contains("login") || !json["login"].is_object())
            return false;
        const nlohmann::json &login = json["login"];
        if (!login.contains("code") || !login["code"].is_number_integer())
            return false;
        *code = login["code"].get<int64_t>();
        return true;
    } catch (const nlohmann::json::exception &) {
        return false;
    }
}

} // namespace

int32_t openLoggedInConnection(const LoginTarget &target, int timeoutMs, int *fd)
{
    const int socket = connectTcp(target.ip, target.port, timeoutMs);
    if (socket < 0)
        return L_SDK_ERR_UNREACHABLE;
    std::string answer;
    const int32_t status = exchange(socket, target.loginMessage, &answer, timeoutMs);
    if (status != L_SDK_OK) {
        closeSocket(socket);
        return status;
    }
    int64_t code = 0;
    if (!loginCode(answer, &code)) {
        logLine("login at %s:%u: unexpected answer", target.ip.c_str(), unsigned(target.port));
        closeSocket(socket);
        return L_SDK_ERR_FAILED;
    }
    if (code != 0) {
        closeSocket(socket);
        return L_SDK_ERR_AUTH;
    }
    *fd = socket;
    return L_SDK_OK;
}

int32_t exchange(int fd, const std::string &request, std::string *answer, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    if (sendMessage(fd, request, deadline) != IoResult::Ok)
        return L_SDK_ERR_UNREACHABLE;
    const IoResult result = receiveMessage(fd, answer, deadline);
    if (result == IoResult::TooLarge)
        logLine("answer from the camera longer than %u bytes: connection dropped", kMaxMessageSize);
    return result == IoResult::Ok ? L_SDK_OK : L_SDK_ERR_UNREACHABLE;
}

Session::Session(LoginTarget target, std::function<uint16_t()> resolvePort)
    : m_target(std::move(target)), m_resolvePort(std::move(resolvePort))
{}

Session::~Session()
{
    close();
}

int32_t Session::login()
{
    std::lock_guard<std::mutex> lock(m_requestMutex);
    return m_closed ? L_SDK_ERR_NO_SESSION : connectLocked();
}

int32_t Session::request(const std::string &text, std::string *answer)
{
    std::lock_guard<std::mutex> lock(m_requestMutex);
    if (m_closed)
        return L_SDK_ERR_NO_SESSION;
    if (m_fd < 0) {
        const int32_t status = connectLocked();
        if (status != L_SDK_OK)
            return status;
    }
    const int32_t status = exchange(m_fd, text, answer, requestTimeoutMs());
    // After a time-out a late answer would pair with the next request: start afresh.
    if (status != L_SDK_OK)
        dropConnectionLocked();
    return status;
}

void Session::close()
{
    {
        std::lock_guard<std::mutex> fdLock(m_fdMutex);
        m_closed = true;
        if (m_fd >= 0)
            ::shutdown(m_fd, SHUT_RDWR); // wakes a request waiting for its answer
    }
    std::lock_guard<std::mutex> lock(m_requestMutex);
    dropConnectionLocked();
}

LoginTarget Session::target()
{
    std::lock_guard<std::mutex> fdLock(m_fdMutex);
    return m_target;
}

int32_t Session::connectLocked()
{
    const uint16_t port = m_resolvePort ? m_resolvePort() : 0;
    LoginTarget target;
    {
        std::lock_guard<std::mutex> fdLock(m_fdMutex);
        if (port != 0)
            m_target.port = port;
        target = m_target;
    }
    int fd = -1;
    const int32_t status = openLoggedInConnection(target, requestTimeoutMs(), &fd);
    if (status != L_SDK_OK)
        return status;
    std::lock_guard<std::mutex> fdLock(m_fdMutex);
    if (m_closed) { // closed while logging in
        closeSocket(fd);
        return L_SDK_ERR_NO_SESSION;
    }
    m_fd = fd;
    return L_SDK_OK;
}

void Session::dropConnectionLocked()
{
    std::lock_guard<std::mutex> fdLock(m_fdMutex);
    closeSocket(m_fd);
    m_fd = -1;
}

} // namespace lsdk
