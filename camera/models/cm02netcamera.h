#pragma once

#include "cm01netcamera.h"

// Network camera model cm02; its data lives in the model table.
class Cm02NetCamera : public Cm01NetCamera
{
    Q_OBJECT

public:
    explicit Cm02NetCamera(QObject *parent = nullptr);
};
