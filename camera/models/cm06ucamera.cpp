#include "cm06ucamera.h"

#include "cameramodelsetup.h"

Cm06UCamera::Cm06UCamera(QObject *parent) : Cm01UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm06ucamera.cpp"
