#include "cm31camera.h"

#include "cameramodelsetup.h"

Cm31Camera::Cm31Camera(QObject *parent) : Cm23Camera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm31camera.cpp"
