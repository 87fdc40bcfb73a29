#include "cm09ucamera.h"

#include "cameramodelsetup.h"

Cm09UCamera::Cm09UCamera(QObject *parent) : Cm08UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm09ucamera.cpp"
