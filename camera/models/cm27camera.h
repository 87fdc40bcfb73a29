#pragma once

#include "cm28camera.h"

// USB camera model cm27; its data lives in the model table.
class Cm27Camera : public Cm28Camera
{
    Q_OBJECT

public:
    explicit Cm27Camera(QObject *parent = nullptr);
};
