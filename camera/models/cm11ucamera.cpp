#include "cm11ucamera.h"

#include "cameramodelsetup.h"

Cm11UCamera::Cm11UCamera(QObject *parent) : Cm23Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm11ucamera.cpp"
