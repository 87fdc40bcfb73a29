#include "cm16ucamera.h"

#include "cameramodelsetup.h"

Cm16UCamera::Cm16UCamera(QObject *parent) : Cm15UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm16ucamera.cpp"
