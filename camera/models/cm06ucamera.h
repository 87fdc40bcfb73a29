#pragma once

#include "cm01ucamera.h"

// USB camera model cm06; its data lives in the model table.
class Cm06UCamera : public Cm01UCamera
{
    Q_OBJECT

public:
    explicit Cm06UCamera(QObject *parent = nullptr);
};
