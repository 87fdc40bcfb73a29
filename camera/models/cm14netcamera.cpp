#include "cm14netcamera.h"

#include "cameramodelsetup.h"

#include <QDebug>
#include <nlohmann/json.hpp>

Cm14NetCamera::Cm14NetCamera(QObject *parent) : NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

void Cm14NetCamera::onSetCameraDisplayMode(DisplayMode mode)
{
    if (m_info.displayMode == mode)
        return;
    qInfo() << "onSetCameraDisplayMode:" << int(mode);
    nlohmann::json request = command("set_img_mode", Chnn);
    request["mode"] = int(mode);
    if (!setRequest(request))
        return;
    m_info.displayMode = mode;
    emit sendDisplayModeValue(mode);
    onDisplayModeChanged();
}

void Cm14NetCamera::onGetCameraDisplayMode()
{
    const nlohmann::json answer = getRequest(command("img_mode", Chnn | Idx));
    const nlohmann::json mode = answer.is_null() ? nlohmann::json() : answer.at("img_mode").value("mode", nlohmann::json());
    if (!mode.is_number_integer())
        return;
    m_info.displayMode = DisplayMode(jsonInt(mode));
    emit sendDisplayModeValue(m_info.displayMode);
    onDisplayModeChanged();
}

#include "moc_cm14netcamera.cpp"
