#pragma once

#include "cm22netcamera.h"

// Network camera model cm19; its data lives in the model table.
class Cm19NetCamera : public Cm22NetCamera
{
    Q_OBJECT

public:
    explicit Cm19NetCamera(QObject *parent = nullptr);
};
