#include "cm26camera.h"

#include "cameramodelsetup.h"

Cm26Camera::Cm26Camera(QObject *parent) : Cm25Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm26camera.cpp"
