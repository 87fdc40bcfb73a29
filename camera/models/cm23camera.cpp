#include "cm23camera.h"

#include "cameramodelsetup.h"

Cm23Camera::Cm23Camera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

void Cm23Camera::onResetBasicSettings()
{
    UvcCamera::onResetBasicSettings();
    emit sendExpGainUnit(GainUnitDefault);
    emit sendLongExpTime(m_info.longExpTime.def);
    emit sendGammaMode(GammaValueMode);
}

#include "moc_cm23camera.cpp"
