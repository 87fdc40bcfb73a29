#pragma once

#include "cm01netcamera.h"

// Network camera model cm06; its data lives in the model table.
class Cm06NetCamera : public Cm01NetCamera
{
    Q_OBJECT

public:
    explicit Cm06NetCamera(QObject *parent = nullptr);
};
