#include "cm05netcamera.h"

#include "cameramodelsetup.h"

Cm05NetCamera::Cm05NetCamera(QObject *parent) : Cm01NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm05netcamera.cpp"
