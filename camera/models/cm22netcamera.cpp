#include "cm22netcamera.h"

#include "cameramodelsetup.h"

Cm22NetCamera::Cm22NetCamera(QObject *parent) : NewNetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm22netcamera.cpp"
