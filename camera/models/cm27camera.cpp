#include "cm27camera.h"

#include "cameramodelsetup.h"

Cm27Camera::Cm27Camera(QObject *parent) : Cm28Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm27camera.cpp"
