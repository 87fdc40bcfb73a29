#pragma once

#include "cm01ucamera.h"

// USB camera model cm05; its data lives in the model table.
class Cm05UCamera : public Cm01UCamera
{
    Q_OBJECT

public:
    explicit Cm05UCamera(QObject *parent = nullptr);
};
