#include "cm22ucamera.h"

#include "cameramodelsetup.h"

Cm22UCamera::Cm22UCamera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm22ucamera.cpp"
