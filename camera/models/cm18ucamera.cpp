#include "cm18ucamera.h"

#include "cameramodelsetup.h"
#include "cameramodeltable.h"

Cm18UCamera::Cm18UCamera(QObject *parent) : Cm21UCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

void Cm18UCamera::initDefaultInfo()
{
    Cm21UCamera::initDefaultInfo();
    if (const CameraModelRow *row = findCameraModel(QLatin1String(staticMetaObject.className())))
        applyCameraModelBuiltIns(*row, m_info);
}

#include "moc_cm18ucamera.cpp"
