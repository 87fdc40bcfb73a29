#include "cm10netcamera.h"

#include "cameramodelsetup.h"

Cm10NetCamera::Cm10NetCamera(QObject *parent) : Cm11NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm10netcamera.cpp"
