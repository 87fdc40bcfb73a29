#include "cm06ucamera.h"

#include "cameramodelsetup.h"

Cm06UCamera::Cm06UCamera(QObject *parent) : Cm01UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

void Cm06UCamera::onResetBasicSettings()
{
    Cm01UCamera::onResetBasicSettings();
    onResetLed();
}

#include "moc_cm06ucamera.cpp"
