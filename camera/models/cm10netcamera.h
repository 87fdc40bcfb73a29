#pragma once

#include "cm11netcamera.h"

// Network camera model cm10; its data lives in the model table.
class Cm10NetCamera : public Cm11NetCamera
{
    Q_OBJECT

public:
    explicit Cm10NetCamera(QObject *parent = nullptr);
};
