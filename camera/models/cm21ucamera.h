#pragma once

#include "uvccamera.h"

// USB camera of the cm21 line (cm17, cm18 derive from it).
class Cm21UCamera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm21UCamera(QObject *parent = nullptr);
};
