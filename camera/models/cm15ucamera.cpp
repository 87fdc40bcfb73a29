#include "cm15ucamera.h"

#include "cameramodelsetup.h"

Cm15UCamera::Cm15UCamera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm15ucamera.cpp"
