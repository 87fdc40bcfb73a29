#pragma once

#include "netcamera.h"

// Network camera of the cm21 group (cm17 and cm18 derive from it). Its firmware speaks the
// older command set, which has no relative focus command: a focus step moves the manual
// focus position by one hundredth of its range.
class Cm21NetCamera : public NetCamera
{
    Q_OBJECT

public:
    explicit Cm21NetCamera(QObject *parent = nullptr);

public slots:
    void onSetFocusAdd() override;
    void onSetFocusSub() override;

private:
    void stepFocus(int direction);
};
