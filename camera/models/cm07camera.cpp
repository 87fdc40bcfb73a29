#include "cm07camera.h"

#include "cameramodelsetup.h"

Cm07Camera::Cm07Camera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm07camera.cpp"
