#include "cm08netcamera.h"

#include "cameramodelsetup.h"

Cm08NetCamera::Cm08NetCamera(QObject *parent) : NewNetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm08netcamera.cpp"
