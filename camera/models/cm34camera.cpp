#include "cm34camera.h"

#include "cameramodelsetup.h"

Cm34Camera::Cm34Camera(QObject *parent) : Cm23Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm34camera.cpp"
