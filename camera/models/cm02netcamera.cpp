#include "cm02netcamera.h"

#include "cameramodelsetup.h"

Cm02NetCamera::Cm02NetCamera(QObject *parent) : Cm01NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm02netcamera.cpp"
