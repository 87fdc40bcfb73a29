#include "cm06netcamera.h"

#include "cameramodelsetup.h"

Cm06NetCamera::Cm06NetCamera(QObject *parent) : Cm01NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

#include "moc_cm06netcamera.cpp"
