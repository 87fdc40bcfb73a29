#pragma once

#include "cm23camera.h"

// USB camera of the second family's cm10-cm12 models, built on the compact cm23.
class Cm11UCamera : public Cm23Camera
{
    Q_OBJECT

public:
    explicit Cm11UCamera(QObject *parent = nullptr);
};
