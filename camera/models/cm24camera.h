#pragma once

#include "cm23camera.h"

// USB camera model cm24; its data lives in the model table.
class Cm24Camera : public Cm23Camera
{
    Q_OBJECT

public:
    explicit Cm24Camera(QObject *parent = nullptr);
};
