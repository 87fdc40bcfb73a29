#include "cm02ucamera.h"

#include "cameramodelsetup.h"

#include <QTimer>

Cm02UCamera::Cm02UCamera(QObject *parent) : Cm01UCamera(parent), m_focusRegionTimer(new QTimer(this))
{
    LUMORA_SET_UP_CAMERA_MODEL();
    m_focusRegionTimer->setSingleShot(true);
    m_focusRegionTimer->setInterval(kFocusRegionDelayMs);
    connect(m_focusRegionTimer, &QTimer::timeout, this,
            [this] { Cm01UCamera::onSetFocusRegionV2(m_pendingFocusRegion); });
}

void Cm02UCamera::onSetFocusRegionV2(CameraControlRegion region)
{
    m_pendingFocusRegion = region;
    if (!m_focusRegionTimer->isActive())
        m_focusRegionTimer->start();
}

#include "moc_cm02ucamera.cpp"
