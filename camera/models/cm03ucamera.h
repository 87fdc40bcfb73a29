#pragma once

#include "cm01ucamera.h"

// USB camera model cm03; its data lives in the model table.
class Cm03UCamera : public Cm01UCamera
{
    Q_OBJECT

public:
    explicit Cm03UCamera(QObject *parent = nullptr);
};
