#pragma once

#include "cm19netcamera.h"

// Network camera model cm20; its data lives in the model table.
class Cm20NetCamera : public Cm19NetCamera
{
    Q_OBJECT

public:
    explicit Cm20NetCamera(QObject *parent = nullptr);
};
