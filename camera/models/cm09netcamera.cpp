#include "cm09netcamera.h"

#include "cameramodelsetup.h"

Cm09NetCamera::Cm09NetCamera(QObject *parent) : Cm08NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm09netcamera.cpp"
