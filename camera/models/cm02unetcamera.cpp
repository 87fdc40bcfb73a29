#include "cm02unetcamera.h"

#include "cameramodelsetup.h"

Cm02UNetCamera::Cm02UNetCamera(QObject *parent) : Cm01NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm02unetcamera.cpp"
