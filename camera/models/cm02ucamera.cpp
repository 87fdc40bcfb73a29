#include "cm02ucamera.h"

#include "cameramodelsetup.h"

Cm02UCamera::Cm02UCamera(QObject *parent) : Cm01UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm02ucamera.cpp"
