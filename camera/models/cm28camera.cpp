#include "cm28camera.h"

#include "cameramodelsetup.h"

Cm28Camera::Cm28Camera(QObject *parent) : Cm23Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm28camera.cpp"
