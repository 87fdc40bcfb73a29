#include "cm29camera.h"

#include "cameramodelsetup.h"

Cm29Camera::Cm29Camera(QObject *parent) : Cm28Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm29camera.cpp"
