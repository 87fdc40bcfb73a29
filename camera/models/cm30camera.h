#pragma once

#include "cm31camera.h"

// USB camera model cm30; its data lives in the model table.
class Cm30Camera : public Cm31Camera
{
    Q_OBJECT

public:
    explicit Cm30Camera(QObject *parent = nullptr);
};
