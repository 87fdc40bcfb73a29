#pragma once

#include "uvccamera.h"

// USB camera model cm07; its data lives in the model table.
class Cm07Camera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm07Camera(QObject *parent = nullptr);
};
