#pragma once

#include "cm01netcamera.h"

// Network camera model cm02U; its data lives in the model table.
class Cm02UNetCamera : public Cm01NetCamera
{
    Q_OBJECT

public:
    explicit Cm02UNetCamera(QObject *parent = nullptr);
};
