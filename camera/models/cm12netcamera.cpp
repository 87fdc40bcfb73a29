#include "cm12netcamera.h"

#include "cameramodelsetup.h"

Cm12NetCamera::Cm12NetCamera(QObject *parent) : Cm11NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm12netcamera.cpp"
