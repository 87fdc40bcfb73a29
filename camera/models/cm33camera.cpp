#include "cm33camera.h"

#include "cameramodelsetup.h"

Cm33Camera::Cm33Camera(QObject *parent) : Cm31Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm33camera.cpp"
