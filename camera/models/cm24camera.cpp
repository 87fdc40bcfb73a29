#include "cm24camera.h"

#include "cameramodelsetup.h"

Cm24Camera::Cm24Camera(QObject *parent) : Cm23Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm24camera.cpp"
