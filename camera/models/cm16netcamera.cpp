#include "cm16netcamera.h"

#include "cameramodelsetup.h"

Cm16NetCamera::Cm16NetCamera(QObject *parent) : Cm15NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm16netcamera.cpp"
