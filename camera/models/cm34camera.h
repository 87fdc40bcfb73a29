#pragma once

#include "cm23camera.h"

// USB camera model cm34; its data lives in the model table.
class Cm34Camera : public Cm23Camera
{
    Q_OBJECT

public:
    explicit Cm34Camera(QObject *parent = nullptr);
};
