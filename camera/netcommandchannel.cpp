#include "netcommandchannel.h"

#include "cameraopeninfo.h"

#include <QDebug>
#include <algorithm>
#include <cmath>
#include <l_sdk.h>
#include <limits>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

// After two unreachable answers, the camera is asked again only after this long.
constexpr qint64 kBackOffMs = 10000;

} // namespace

NetCommandChannel::NetCommandChannel() : m_requester(makeLSdkRequester()) {}

void NetCommandChannel::setRequester(std::unique_ptr<NetRequester> requester)
{
    m_requester = std::move(requester);
}

int NetCommandChannel::jsonInt(const json &value)
{
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    if (value.is_boolean())
        return value.get<bool>() ? 1 : 0;
    if (value.is_number_unsigned())
        return int(std::min<uint64_t>(value.get<uint64_t>(), kMax));
    if (value.is_number_integer())
        return int(std::clamp<int64_t>(value.get<int64_t>(), kMin, kMax));
    // A double beyond int's range is undefined behaviour to convert; NaN is no number at all.
    const double number = value.get<double>();
    if (std::isnan(number))
        return 0;
    return int(std::clamp(number, double(kMin), double(kMax)));
}

QString NetCommandChannel::jsonText(const json &object, const char *name)
{
    const auto it = object.find(name);
    if (it == object.end() || !it->is_string())
        return QString();
    return QString::fromStdString(it->get<std::string>());
}

std::string NetCommandChannel::dump(const json &value)
{
    return value.dump(-1, ' ', false, json::error_handler_t::replace);
}

bool NetCommandChannel::login(const CameraOpenInfo &openInfo)
{
    const json request{{"cmd", "login"},
                       {"ip", openInfo.address.toLocal8Bit().toStdString()},
                       {"port", openInfo.port.toInt()},
                       {"login",
                        {{"username", openInfo.userName.toLocal8Bit().toStdString()},
                         {"passwd", openInfo.password.toLocal8Bit().toStdString()}}}};
    int32_t id = 0;
    if (m_requester->login(id, dump(request)) != L_SDK_OK) {
        qWarning().noquote().nospace() << "Login failed. ip: " + openInfo.address;
        return false;
    }
    m_loginId = id;
    m_loggedIn = true;
    m_failures = 0;
    qInfo().noquote().nospace() << "Login succeed. id: " << m_loginId;
    return true;
}

bool NetCommandChannel::logout()
{
    const bool ok = m_requester->logout(m_loginId) == L_SDK_OK;
    m_loggedIn = false;
    if (ok)
        qInfo().noquote().nospace() << "Logout succeed. id: " << m_loginId;
    return ok;
}

bool NetCommandChannel::exchange(const json &request, int32_t loginId, bool set, json &answer)
{
    const qint64 now = m_requester->elapsedMs();
    if (m_failures >= 2 && now - m_failureMarkMs <= kBackOffMs)
        return false;
    if (m_failures >= 2)
        m_failures = 0;

    const std::string text = dump(request);
    std::string answerText;
    const int32_t status = m_requester->request(loginId < 0 ? m_loginId : loginId, text, answerText);
    if (status == L_SDK_ERR_UNREACHABLE)
        ++m_failures;
    else if (status == L_SDK_OK)
        m_failures = 0;
    if (m_failures > 1)
        m_failureMarkMs = m_requester->elapsedMs();

    int code = -1;
    if (status == L_SDK_OK || !answerText.empty()) {
        try {
            answer = json::parse(answerText);
            code = jsonInt(answer.at(request.at("cmd").get<std::string>()).at("code"));
        } catch (const json::exception &e) {
            qWarning().noquote().nospace()
                << (set ? "setRequest failed, json throw an error:" : "getRequest failed, json throw an error:")
                << e.what();
            answer = json();
            return false;
        }
    }
    if (code != 0) {
        if (set)
            qWarning().noquote().nospace() << "setRequest failed, " + QString::fromStdString(text);
        else
            qWarning().noquote().nospace() << "Get requset failed " << QString::fromStdString(text);
        answer = json();
        return false;
    }
    return true;
}
