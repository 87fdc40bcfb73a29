#include "cameradetection.h"

#include "printabletext.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QSettings>
#include <lmcam.h>

namespace {

// Our USB 3 models (the compact family), and no device kept from opening by itself.
const char *const kUsb3ProductIds[] = {"280", "281", "282", "283", "285", "288"};
const char *const kExcludedProductId = "";

} // namespace

CameraDetection::CameraDetection(Config config) : m_config(std::move(config)) {}

CameraDetection::Config CameraDetection::defaultConfig()
{
    Config config;
    for (const char *id : kUsb3ProductIds)
        config.usb3ProductIds << QLatin1String(id);
    config.excludedProductId = QLatin1String(kExcludedProductId);
    return config;
}

CameraDetection::Config CameraDetection::loadConfig(const QString &iniPath)
{
    Config config = defaultConfig();
    if (!QFileInfo(iniPath).isFile())
        return config;
    QSettings ini(iniPath, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Discovery"));
    if (ini.contains(QStringLiteral("Usb3ProductIds"))) {
        // A single id reads as a string, several as a list.
        config.usb3ProductIds.clear();
        for (const QString &id : ini.value(QStringLiteral("Usb3ProductIds")).toStringList()) {
            const QString trimmed = id.trimmed().toLower();
            if (!trimmed.isEmpty())
                config.usb3ProductIds << trimmed;
        }
    }
    if (ini.contains(QStringLiteral("ExcludedProductId")))
        config.excludedProductId = ini.value(QStringLiteral("ExcludedProductId")).toString().trimmed();
    qInfo().noquote() << "Discovery configuration" << iniPath << ": USB 3 models"
                      << config.usb3ProductIds.join(QLatin1Char(',')) << ", excluded" << config.excludedProductId;
    return config;
}

QString CameraDetection::configPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/customInformation/camera.ini");
}

CameraDetection::Outcome CameraDetection::detect(const CameraSearcher::SearchResult &infos, bool cameraOpen,
                                                 int windowsVersion)
{
    Outcome outcome;
    if (infos != m_cameras) {
        outcome.changed = true;
        qInfo() << "Detect new cameras";
        for (const CameraSearcher::SearchInfo &info : infos) {
            qInfo().noquote().nospace() << "UniqueName=" << printableText(info.uniqueName)
                                        << ", type=" << int(info.type)
                                        << ", displayName=" << printableText(info.displayName)
                                        << ", model=" << printableText(info.model) << ", usbSpeed=" << info.usbSpeed;
        }

        // The USB 3 models need to know an older Windows before they stream.
        for (const CameraSearcher::SearchInfo &info : infos) {
            if (info.usbSpeed != 3 || !m_config.usb3ProductIds.contains(info.model) || windowsVersion >= 10)
                continue;
            lmcam_handle handle = 0;
            if (lmcam_open(info.uniqueName.toUtf8().constData(), &handle) != LMCAM_OK)
                continue;
            lmcam_set_windows_version(handle, windowsVersion);
            lmcam_close(handle);
            outcome.toldSystem << info.uniqueName;
        }
        m_cameras = infos;
    }

    if (cameraOpen || infos.isEmpty())
        return outcome;
    // A lost camera is tried on every search, changed or not: an unplug shorter than the
    // search period, or a session that notices the loss late, leaves the list as it was.
    if (!m_reconnectName.isEmpty() && infos.contains(m_reconnectName)) {
        outcome.openName = m_reconnectName;
    } else if (outcome.changed && infos.size() == 1 && m_autoOpenAllowed) {
        const QString name = infos.firstKey();
        const QString &excluded = m_config.excludedProductId;
        if (excluded.isEmpty() || !name.contains(excluded))
            outcome.openName = name;
    }
    return outcome;
}

void CameraDetection::sessionClosed(const QString &uniqueName, CameraCloseReason reason)
{
    switch (reason) {
    case Disconnected:
        m_reconnectName = uniqueName;
        break;
    case OpenFailed:
        // A refusal is no choice of the operator's: a lost camera is tried again at the next
        // search, a single one when it is plugged in again.
        break;
    default:
        m_reconnectName.clear();
        m_autoOpenAllowed = false;
        break;
    }
}
