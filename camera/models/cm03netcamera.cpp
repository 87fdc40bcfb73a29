#include "cm03netcamera.h"

#include "cameramodelsetup.h"

Cm03NetCamera::Cm03NetCamera(QObject *parent) : Cm01NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm03netcamera.cpp"
