#include "cm08ucamera.h"

#include "cameramodelsetup.h"

Cm08UCamera::Cm08UCamera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm08ucamera.cpp"
