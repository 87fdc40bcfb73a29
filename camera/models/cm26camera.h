#pragma once

#include "cm25camera.h"

// USB camera model cm26; its data lives in the model table.
class Cm26Camera : public Cm25Camera
{
    Q_OBJECT

public:
    explicit Cm26Camera(QObject *parent = nullptr);
};
