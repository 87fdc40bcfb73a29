#pragma once

#include "netcamera.h"

// Network camera model cm11; its data lives in the model table.
class Cm11NetCamera : public NetCamera
{
    Q_OBJECT

public:
    explicit Cm11NetCamera(QObject *parent = nullptr);
};
