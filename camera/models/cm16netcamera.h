#pragma once

#include "cm15netcamera.h"

// Network camera model cm16; its data lives in the model table.
class Cm16NetCamera : public Cm15NetCamera
{
    Q_OBJECT

public:
    explicit Cm16NetCamera(QObject *parent = nullptr);
};
