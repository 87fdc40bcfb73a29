#include "cm17ucamera.h"

#include "cameramodelsetup.h"

Cm17UCamera::Cm17UCamera(QObject *parent) : Cm21UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm17ucamera.cpp"
