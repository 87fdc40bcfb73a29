#include "cm12ucamera.h"

#include "cameramodelsetup.h"

Cm12UCamera::Cm12UCamera(QObject *parent) : Cm11UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm12ucamera.cpp"
