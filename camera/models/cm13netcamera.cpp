#include "cm13netcamera.h"

#include "cameramodelsetup.h"

Cm13NetCamera::Cm13NetCamera(QObject *parent) : NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm13netcamera.cpp"
