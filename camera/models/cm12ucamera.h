#pragma once

#include "cm11ucamera.h"

// USB camera model cm12; its data lives in the model table.
class Cm12UCamera : public Cm11UCamera
{
    Q_OBJECT

public:
    explicit Cm12UCamera(QObject *parent = nullptr);
};
