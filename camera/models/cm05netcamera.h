#pragma once

#include "cm01netcamera.h"

// Network camera model cm05; its data lives in the model table.
class Cm05NetCamera : public Cm01NetCamera
{
    Q_OBJECT

public:
    explicit Cm05NetCamera(QObject *parent = nullptr);
};
