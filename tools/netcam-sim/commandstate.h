// The simulated camera's state and its answers to the JSON commands (all but "login" and
// "attach_stream", which belong to the connection).
#pragma once

#include "commandtable.h"
#include "streamsettings.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QJsonValue>

// Answer codes other than 0.
namespace AnswerCode {
constexpr int Unknown = -1;      // unknown command
constexpr int Malformed = -2;    // not a JSON object
constexpr int InvalidValue = -3; // a field of the wrong type or out of range
constexpr int NotLoggedIn = -4;  // a command before a successful login
constexpr int BadLogin = -5;     // wrong user name or password
} // namespace AnswerCode

// Who the camera is.
struct CameraIdentity
{
    QString address;
    QString model;
    QString swVersion;
    QString hwVersion;
    QString mac;
    bool newCommands = false;
    int maxFps = 30;
};

class CommandState
{
public:
    explicit CommandState(const CameraIdentity &identity);

    // Answers one request: {"<cmd>": {"code": …, …}}.
    QJsonObject handle(const QJsonObject &request);

    const StreamSettings &stream() const { return m_stream; }
    // The picture values in the renderer's terms.
    virtualscope::RenderSettings renderSettings() const;
    StreamConfig streamConfig() const { return {m_stream, renderSettings()}; }

    // How long an upgrade takes from acceptance to 100 %.
    static constexpr int kUpgradeMs = 2000;

private:
    using Handler = QJsonObject (CommandState::*)(const QJsonObject &request);
    struct Command
    {
        CommandKind kind;
        QVector<FieldMap> fields;
        Handler handler = nullptr;
    };

    QJsonObject getValues(const Command &command) const;
    QJsonObject setValues(const Command &command, const QJsonObject &request);
    QJsonObject defaults(const Command &command) const;
    QJsonObject ability(const Command &command) const;
    bool accepts(const ParamDef &param, const QJsonValue &value) const;
    double number(const char *key) const;
    QJsonValue defaultValue(const ParamDef &param) const;

    QJsonObject system(const QJsonObject &request);
    QJsonObject streamAnswer(const QJsonObject &request);
    QJsonObject setStream(const QJsonObject &request);
    QJsonObject defaultStream(const QJsonObject &request);
    QJsonObject streamAbility(const QJsonObject &request);
    QJsonObject picAbility(const QJsonObject &request);
    QJsonObject ledAbility(const QJsonObject &request);
    QJsonObject getLed(const QJsonObject &request);
    QJsonObject setLed(const QJsonObject &request);
    QJsonObject focusRelative(const QJsonObject &request);
    QJsonObject upgrade(const QJsonObject &request);
    QJsonObject upgradeStatus(const QJsonObject &request);

    CameraIdentity m_identity;
    QHash<QString, Command> m_commands;
    QHash<QString, QJsonValue> m_values; // by value key
    StreamSettings m_stream;
    StreamSettings m_defaultStream;
    QElapsedTimer m_upgradeClock; // valid once an upgrade was accepted
};
