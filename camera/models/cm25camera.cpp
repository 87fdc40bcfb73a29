#include "cm25camera.h"

#include "cameramodelsetup.h"

Cm25Camera::Cm25Camera(QObject *parent) : Cm24Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm25camera.cpp"
