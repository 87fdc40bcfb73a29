#pragma once

#include "cm19ucamera.h"

// USB camera model cm20; its data lives in the model table.
class Cm20UCamera : public Cm19UCamera
{
    Q_OBJECT

public:
    explicit Cm20UCamera(QObject *parent = nullptr);
};
