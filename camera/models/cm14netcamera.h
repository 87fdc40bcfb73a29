#pragma once

#include "netcamera.h"

// Network camera model cm14; its data lives in the model table.
class Cm14NetCamera : public NetCamera
{
    Q_OBJECT

public:
    explicit Cm14NetCamera(QObject *parent = nullptr);
};
