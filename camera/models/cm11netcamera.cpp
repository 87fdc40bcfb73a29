#include "cm11netcamera.h"

#include "cameramodelsetup.h"

Cm11NetCamera::Cm11NetCamera(QObject *parent) : NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm11netcamera.cpp"
