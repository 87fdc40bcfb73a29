#pragma once

#include "cm21netcamera.h"

// Network camera model cm18; its data lives in the model table.
class Cm18NetCamera : public Cm21NetCamera
{
    Q_OBJECT

public:
    explicit Cm18NetCamera(QObject *parent = nullptr);
};
