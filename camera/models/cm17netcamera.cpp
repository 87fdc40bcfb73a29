#include "cm17netcamera.h"

#include "cameramodelsetup.h"

Cm17NetCamera::Cm17NetCamera(QObject *parent) : Cm21NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm17netcamera.cpp"
