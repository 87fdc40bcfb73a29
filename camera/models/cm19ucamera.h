#pragma once

#include "cm22ucamera.h"

// USB camera model cm19; its data lives in the model table.
class Cm19UCamera : public Cm22UCamera
{
    Q_OBJECT

public:
    explicit Cm19UCamera(QObject *parent = nullptr);
};
