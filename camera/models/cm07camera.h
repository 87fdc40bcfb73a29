#pragma once

#include "uvccamera.h"

#include <atomic>

// USB camera model cm07, a plain video-class camera: it cannot mirror or flip on the sensor,
// so the program does it on every picture; its white balance is set by colour temperature
// and its exposure has no gain.
class Cm07Camera : public UvcCamera
{
    Q_OBJECT

public:
    explicit Cm07Camera(QObject *parent = nullptr);

public slots:
    void onSetMirrorStatus(bool enable) override;
    void onSetFlipStatus(bool enable) override;
    void onSetGammaValue(int value) override;
    void onSetWhiteBalanceOnce() override;

protected:
    VideoFrame finishFrame(const VideoFrame &frame) override;
    void readManualExposure(bool sendValue) override;

private:
    // Read by the acquisition thread.
    std::atomic<bool> m_mirror{false};
    std::atomic<bool> m_flip{false};
};
