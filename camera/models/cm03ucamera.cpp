#include "cm03ucamera.h"

#include "cameramodelsetup.h"

Cm03UCamera::Cm03UCamera(QObject *parent) : Cm01UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm03ucamera.cpp"
