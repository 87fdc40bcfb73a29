#pragma once

#include "cm01ucamera.h"

// USB camera model cm04; its data lives in the model table.
class Cm04UCamera : public Cm01UCamera
{
    Q_OBJECT

public:
    explicit Cm04UCamera(QObject *parent = nullptr);
};
