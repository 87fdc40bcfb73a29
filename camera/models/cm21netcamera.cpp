#include "cm21netcamera.h"

#include "cameramodelsetup.h"

Cm21NetCamera::Cm21NetCamera(QObject *parent) : NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm21netcamera.cpp"
