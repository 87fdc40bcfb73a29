#pragma once

#include "cm11ucamera.h"

// USB camera model cm10; its data lives in the model table.
class Cm10UCamera : public Cm11UCamera
{
    Q_OBJECT

public:
    explicit Cm10UCamera(QObject *parent = nullptr);
};
