#pragma once

#include "cm11netcamera.h"

// Network camera model cm12; its data lives in the model table.
class Cm12NetCamera : public Cm11NetCamera
{
    Q_OBJECT

public:
    explicit Cm12NetCamera(QObject *parent = nullptr);
};
