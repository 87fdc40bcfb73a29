#include "cm18netcamera.h"

#include "cameramodelsetup.h"

Cm18NetCamera::Cm18NetCamera(QObject *parent) : Cm21NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm18netcamera.cpp"
