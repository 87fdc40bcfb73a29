#include "cm07camera.h"

#include "cameramodelsetup.h"
#include "frameconversion.h"

#include <QDebug>
#include <algorithm>

Cm07Camera::Cm07Camera(QObject *parent) : UvcCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

VideoFrame Cm07Camera::finishFrame(const VideoFrame &frame)
{
    return mirrorVideoFrame(frame, m_mirror, m_flip);
}

void Cm07Camera::readManualExposure(bool sendValue)
{
    // Manual exposure is the exposure time alone: the camera has no gain to read back.
    readValue(m_info.expTime.value, lmcam_get_exposure_time);
    if (sendValue)
        emit sendExpTime(m_info.expTime.value);
}

void Cm07Camera::onSetMirrorStatus(bool enable)
{
    if (m_info.mirror == enable)
        return;
    qInfo() << "onSetMirrorStatus:" << enable;
    m_info.mirror = enable;
    m_mirror = enable;
    emit sendMirrorStatus(enable);
}

void Cm07Camera::onSetFlipStatus(bool enable)
{
    if (m_info.flip == enable)
        return;
    qInfo() << "onSetFlipStatus:" << enable;
    m_info.flip = enable;
    m_flip = enable;
    emit sendFlipStatus(enable);
}

void Cm07Camera::onSetGammaValue(int value)
{
    // Values kept for another model may lie outside this camera's range: they are brought
    // into it, and the panel is told the value that was applied.
    const CameraRange &range = m_info.gamma;
    const int applied = range.supported && range.min <= range.max ? std::clamp(value, range.min, range.max) : value;
    UvcCamera::onSetGammaValue(applied);
    if (applied != value)
        emit sendGammaValue(applied);
}

void Cm07Camera::onSetWhiteBalanceOnce()
{
    // The camera finds the colour temperature in automatic mode; it is then held in manual.
    if (!m_handle)
        return;
    qInfo() << "onSetWhiteBalanceOnce";
    emit sendWbMode(WbAuto);
    waitMs(1500);
    emit sendWbMode(WbManual);
    waitMs(1000);
    onGetWBTemperatureValue();
}

#include "moc_cm07camera.cpp"
