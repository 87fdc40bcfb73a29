#include "netfirmwareupdate.h"

#include "cameraopeninfo.h"
#include "netcommandchannel.h"

#include <QDebug>
#include <QFileInfo>
#include <nlohmann/json.hpp>

using nlohmann::json;

NetFirmwareUpdate::NetFirmwareUpdate(NetCommandChannel &channel) : m_channel(channel) {}

bool NetFirmwareUpdate::fits(const QString &path, const QString &modelKey)
{
    const QString name = QFileInfo(path).fileName();
    if (!(name.endsWith(QLatin1String(".update")) || name.endsWith(QLatin1String(".lpk"))) || modelKey.isEmpty() ||
        !name.contains(modelKey)) {
        qWarning() << "Invalid upgrade file name!";
        return false;
    }
    return true;
}

QString NetFirmwareUpdate::modelKey(const QString &model)
{
    QString key = model;
    const int cut = key.indexOf(QLatin1String("_IPC"));
    if (cut >= 0)
        key.truncate(cut);
    return key.toLower();
}

bool NetFirmwareUpdate::start(const CameraOpenInfo &openInfo, const QString &filePath)
{
    // Built as JSON, never pasted into a text: a path may hold quotes or backslashes.
    const json request{{"cmd", "upgrade"},
                       {"ip", openInfo.address.toLocal8Bit().toStdString()},
                       {"port", openInfo.port.toInt()},
                       {"path", filePath.toLocal8Bit().toStdString()},
                       {"upgrade",
                        {{"username", openInfo.userName.toLocal8Bit().toStdString()},
                         {"passwd", openInfo.password.toLocal8Bit().toStdString()}}}};
    json answer;
    return m_channel.exchange(request, 0, true, answer);
}

bool NetFirmwareUpdate::readStatus(int port, int &status, int &percentage)
{
    json answer;
    if (!m_channel.exchange(json{{"cmd", "status_upgrade"}, {"port", port}}, -1, false, answer))
        return false;
    try {
        const json &body = answer.at("status_upgrade");
        status = NetCommandChannel::jsonInt(body.at("status"));
        percentage = NetCommandChannel::jsonInt(body.at("percentage"));
        qInfo().noquote().nospace() << "onGetUpgradeStatus. status=" << status << ", percentage=" << percentage;
    } catch (const json::exception &e) {
        qWarning().noquote().nospace() << "getUpgradeStatus failed, " << e.what();
        return false;
    }
    return true;
}
