#include "cm19netcamera.h"

#include "cameramodelsetup.h"

Cm19NetCamera::Cm19NetCamera(QObject *parent) : Cm22NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm19netcamera.cpp"
