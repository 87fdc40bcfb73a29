#pragma once

#include "netrequester.h"

#include <QString>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <string>

struct CameraOpenInfo;

// The command channel to one network camera: login, JSON commands and their answers. After two
// unreachable answers in a row the camera is left alone for a while, so a camera that went away
// does not stall every slot on the library's timeouts.
class NetCommandChannel
{
public:
    NetCommandChannel();

    // Replaces the l_sdk calls (tests answer commands through it).
    void setRequester(std::unique_ptr<NetRequester> requester);
    NetRequester &requester() { return *m_requester; }

    bool login(const CameraOpenInfo &openInfo);
    bool logout();
    bool loggedIn() const { return m_loggedIn; }
    int32_t loginId() const { return m_loginId; }

    // One command exchange with the back-off; true when the answer's code is 0. A negative
    // loginId: the one of the login.
    bool exchange(const nlohmann::json &request, int32_t loginId, bool set, nlohmann::json &answer);

    // A number or a flag of a camera's answer as an int; numbers beyond int's range are
    // clamped to it. Anything else throws json's type error.
    static int jsonInt(const nlohmann::json &value);
    // A text field of an answer; empty when missing or not a text.
    static QString jsonText(const nlohmann::json &object, const char *name);
    // Compact JSON text; invalid UTF-8 is replaced rather than thrown on.
    static std::string dump(const nlohmann::json &value);

private:
    std::unique_ptr<NetRequester> m_requester;
    int32_t m_loginId = 0;
    bool m_loggedIn = false;
    int m_failures = 0;
    qint64 m_failureMarkMs = 0;
};
