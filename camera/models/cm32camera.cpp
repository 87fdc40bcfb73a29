#include "cm32camera.h"

#include "cameramodelsetup.h"

Cm32Camera::Cm32Camera(QObject *parent) : Cm23Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm32camera.cpp"
