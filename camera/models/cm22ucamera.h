#pragma once

#include "uvccamera.h"

// USB camera of the cm22 line (cm19, cm20 derive from it).
class Cm22UCamera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm22UCamera(QObject *parent = nullptr);
};
