#include "cm21netcamera.h"

#include "cameramodelsetup.h"

#include <QDebug>
#include <algorithm>

Cm21NetCamera::Cm21NetCamera(QObject *parent) : NetCamera(parent)
{
    LUMORA_SET_UP_CAMERA_MODEL();
}

void Cm21NetCamera::stepFocus(int direction)
{
    const CameraRange &focus = m_info.focus;
    if (!focus.supported || focus.max <= focus.min)
        return;
    const int step = std::max(1, (focus.max - focus.min) / 100);
    const int target = std::clamp(focus.value + direction * step, focus.min, focus.max);
    qInfo() << (direction > 0 ? "onSetFocusAdd" : "onSetFocusSub") << target;
    // The position setter refuses outside manual focus, as a step would.
    onSetFocusValue(target);
}

void Cm21NetCamera::onSetFocusAdd()
{
    stepFocus(1);
}

void Cm21NetCamera::onSetFocusSub()
{
    stepFocus(-1);
}

#include "moc_cm21netcamera.cpp"
