#pragma once

#include "cm28camera.h"

// USB camera model cm29; its data lives in the model table.
class Cm29Camera : public Cm28Camera
{
    Q_OBJECT

public:
    explicit Cm29Camera(QObject *parent = nullptr);
};
