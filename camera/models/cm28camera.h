#pragma once

#include "cm23camera.h"

// USB camera model cm28; its data lives in the model table.
class Cm28Camera : public Cm23Camera
{
    Q_OBJECT

public:
    explicit Cm28Camera(QObject *parent = nullptr);
};
