#pragma once

#include "netcamera.h"

// Network camera model cm15; its data lives in the model table.
class Cm15NetCamera : public NetCamera
{
    Q_OBJECT

public:
    explicit Cm15NetCamera(QObject *parent = nullptr);
};
