#pragma once

#include "cm21ucamera.h"

// USB camera model cm17; its data lives in the model table.
class Cm17UCamera : public Cm21UCamera
{
    Q_OBJECT

public:
    explicit Cm17UCamera(QObject *parent = nullptr);
};
