#include "cm01ucamera.h"

#include "cameramodelsetup.h"

Cm01UCamera::Cm01UCamera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm01ucamera.cpp"
