#include "cm04ucamera.h"

#include "cameramodelsetup.h"

Cm04UCamera::Cm04UCamera(QObject *parent) : Cm01UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm04ucamera.cpp"
