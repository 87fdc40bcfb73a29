#include "cm23camera.h"

#include "cameramodelsetup.h"

Cm23Camera::Cm23Camera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm23camera.cpp"
