#include "cm34camera.h"

#include "cameramodelsetup.h"

#include <QDebug>

Cm34Camera::Cm34Camera(QObject *parent) : Cm23Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

bool Cm34Camera::checkUpgradeFile(const QString &path)
{
    return checkUpgradeFileFor(path, kFirmwareKey);
}

void Cm34Camera::onUpgrade(QString filePath)
{
    if (!m_handle || filePath.isEmpty())
        return;
    qInfo().noquote() << "onUpgrade:" << filePath;
    upgradeThroughSdk(filePath);
}

void Cm34Camera::onSetDeviceName(QString name)
{
    if (!m_handle)
        return;
    qInfo().noquote() << "onSetDeviceName:" << name;
    if (lmcam_set_device_name(m_handle, name.toUtf8().constData()) != LMCAM_OK)
        qWarning().noquote() << "Set device name failed:" << name;
}

#include "moc_cm34camera.cpp"
