#include "cm21ucamera.h"

#include "cameramodelsetup.h"

Cm21UCamera::Cm21UCamera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm21ucamera.cpp"
