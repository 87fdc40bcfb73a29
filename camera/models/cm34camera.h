#pragma once

#include "cm23camera.h"

// USB camera model cm34. It takes firmware through the SDK rather than its serial interface,
// and its device name can be set.
class Cm34Camera : public Cm23Camera
{
    Q_OBJECT

public:
    explicit Cm34Camera(QObject *parent = nullptr);

    // Its firmware file key; the model is not among the serially upgraded ones of the model table.
    static constexpr char kFirmwareKey[] = "cm34";

    // A firmware file for this model: "*.update" holding "cm34", the model suffix and "_".
    bool checkUpgradeFile(const QString &path) override;

public slots:
    void onUpgrade(QString filePath) override;
    void onSetDeviceName(QString name) override;
};
