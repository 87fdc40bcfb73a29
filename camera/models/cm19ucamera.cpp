#include "cm19ucamera.h"

#include "cameramodelsetup.h"

Cm19UCamera::Cm19UCamera(QObject *parent) : Cm22UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm19ucamera.cpp"
