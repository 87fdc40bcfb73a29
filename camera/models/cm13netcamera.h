#pragma once

#include "netcamera.h"

// Network camera model cm13; its data lives in the model table.
class Cm13NetCamera : public NetCamera
{
    Q_OBJECT

public:
    explicit Cm13NetCamera(QObject *parent = nullptr);
};
