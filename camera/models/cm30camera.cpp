#include "cm30camera.h"

#include "cameramodelsetup.h"

Cm30Camera::Cm30Camera(QObject *parent) : Cm31Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm30camera.cpp"
