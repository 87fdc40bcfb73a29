#include "cm05ucamera.h"

#include "cameramodelsetup.h"

Cm05UCamera::Cm05UCamera(QObject *parent) : Cm01UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

void Cm05UCamera::onResetBasicSettings()
{
    Cm01UCamera::onResetBasicSettings();
    onResetLed();
}

#include "moc_cm05ucamera.cpp"
