#include "cm10ucamera.h"

#include "cameramodelsetup.h"

Cm10UCamera::Cm10UCamera(QObject *parent) : Cm11UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm10ucamera.cpp"
