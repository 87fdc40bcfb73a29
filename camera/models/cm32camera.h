#pragma once

#include "cm23camera.h"

// USB camera model cm32; its data lives in the model table.
class Cm32Camera : public Cm23Camera
{
    Q_OBJECT

public:
    explicit Cm32Camera(QObject *parent = nullptr);
};
