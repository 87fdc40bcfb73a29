#include "cm01netcamera.h"

#include "cameramodelsetup.h"

Cm01NetCamera::Cm01NetCamera(QObject *parent) : NewNetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm01netcamera.cpp"
