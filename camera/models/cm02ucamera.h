#pragma once

#include "cm01ucamera.h"

// USB camera model cm02U; its data lives in the model table.
class Cm02UCamera : public Cm01UCamera
{
    Q_OBJECT

public:
    explicit Cm02UCamera(QObject *parent = nullptr);
};
