#include "cm20ucamera.h"

#include "cameramodelsetup.h"

Cm20UCamera::Cm20UCamera(QObject *parent) : Cm19UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm20ucamera.cpp"
