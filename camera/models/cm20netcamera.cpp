#include "cm20netcamera.h"

#include "cameramodelsetup.h"

Cm20NetCamera::Cm20NetCamera(QObject *parent) : Cm19NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm20netcamera.cpp"
