#include "cm04netcamera.h"

#include "cameramodelsetup.h"

Cm04NetCamera::Cm04NetCamera(QObject *parent) : Cm01NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm04netcamera.cpp"
