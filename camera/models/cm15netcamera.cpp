#include "cm15netcamera.h"

#include "cameramodelsetup.h"

Cm15NetCamera::Cm15NetCamera(QObject *parent) : NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm15netcamera.cpp"
