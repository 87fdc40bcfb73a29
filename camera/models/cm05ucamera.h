#pragma once

#include "cm01ucamera.h"

// USB camera model cm05U. Its ring light belongs to the basic settings: resetting them also
// brings the light back to its default level.
class Cm05UCamera : public Cm01UCamera
{
    Q_OBJECT

public:
    explicit Cm05UCamera(QObject *parent = nullptr);

public slots:
    void onResetBasicSettings() override;
};
