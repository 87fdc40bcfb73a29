#pragma once

#include "uvccamera.h"

// Compact USB camera (third family); the other compact models derive from it.
class Cm23Camera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm23Camera(QObject *parent = nullptr);
};
