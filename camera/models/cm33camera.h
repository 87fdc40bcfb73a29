#pragma once

#include "cm31camera.h"

// USB camera model cm33; its data lives in the model table.
class Cm33Camera : public Cm31Camera
{
    Q_OBJECT

public:
    explicit Cm33Camera(QObject *parent = nullptr);
};
