#pragma once

#include "cm01netcamera.h"

// Network camera model cm04; its data lives in the model table.
class Cm04NetCamera : public Cm01NetCamera
{
    Q_OBJECT

public:
    explicit Cm04NetCamera(QObject *parent = nullptr);
};
