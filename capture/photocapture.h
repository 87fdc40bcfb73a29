#pragma once

#include "cameraresolution.h"
#include "countdown.h"
#include "videoframe.h"

#include <QImage>
#include <QObject>
#include <QRect>
#include <QTimer>
#include <functional>

// The photo flow of the main window: a single photo at once or after a countdown, a burst of
// photos at a fixed interval, and the frame that comes back from the camera or the display.
// What happens to the picture (saved at once, or opened for review) is the window's choice.
class PhotoCapture : public QObject
{
    Q_OBJECT

public:
    // What the flow needs to know of the live view when a photo is taken.
    struct LiveState
    {
        CameraResolution photo;
        CameraResolution preview;
        bool graphicsMerged = false;
        bool ffcOn = false;
        bool watermarkShown = false;
        bool scanCode = false; // the photo is named by the code it shows
        QRect scanRegion;      // where to look for it, in preview pixels; empty: the whole picture
    };
    using StateReader = std::function<LiveState()>;
    // Reads a code in a picture; empty when there is none.
    using Scanner = std::function<QString(const QImage &picture)>;

    explicit PhotoCapture(StateReader state, QObject *parent = nullptr);

    void setScanner(Scanner scanner) { m_scanner = std::move(scanner); }
    // The length of a second of the countdowns and bursts (tests shorten it).
    void setSecondMs(int ms)
    {
        m_secondMs = ms;
        m_countdown.setSecondMs(ms);
    }

    bool isCountingDown() const { return m_countdown.isActive(); }
    bool isBurstRunning() const { return m_burst.isActive() || m_burstStarting; }
    bool isPending() const { return m_pending; }

public slots:
    // The photo button: starts the countdown when one is set, cancels a running one, or takes
    // the photo at once.
    void onPhotoButton();
    // The continuous-shooting button: on starts a burst (after its countdown), off stops it.
    void onBurstToggled(bool on);
    void onRecvVideoFrameForTakingPhoto(VideoFrame frame);

signals:
    void getVideoFrameForTakingPhoto(CameraResolution photoRes);
    void getWatermarkFrame();
    // The status line: countdowns and burst progress; empty clears it.
    void statusChanged(const QString &text);
    // "Taking a photo..." is shown and the capture buttons are disabled while true.
    void takingChanged(bool taking);
    void warning(const QString &title, const QString &text);
    void information(const QString &title, const QString &text);
    // The burst ended by itself: the continuous-shooting button goes up.
    void burstFinished();
    void photoReady(const QImage &picture, const QString &scanText);

private:
    void takePhoto();
    void startBurst();
    void burstTick();
    void endAttempt();

    StateReader m_state;
    Scanner m_scanner;
    int m_secondMs = 1000;
    bool m_mismatchWarned = false;
    bool m_pending = false;
    LiveState m_pendingState;

    Countdown m_countdown;

    QTimer m_burst;
    bool m_burstStarting = false; // counting down to the burst
    int m_burstNumber = 0;
    int m_burstInterval = 0;
    int m_burstLeft = 0;
    int m_burstTaken = 0;
};
