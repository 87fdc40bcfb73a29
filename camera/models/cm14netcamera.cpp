#include "cm14netcamera.h"

#include "cameramodelsetup.h"

Cm14NetCamera::Cm14NetCamera(QObject *parent) : NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm14netcamera.cpp"
