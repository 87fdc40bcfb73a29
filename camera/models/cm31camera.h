#pragma once

#include "cm23camera.h"

// USB camera model cm31; its data lives in the model table.
class Cm31Camera : public Cm23Camera
{
    Q_OBJECT

public:
    explicit Cm31Camera(QObject *parent = nullptr);
};
