#include "framegrabber.h"

#include "basecamera.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QThread>

namespace {

// The acquisition thread's figures: a read every 10 ms at most, the camera counts as lost at
// the 501st empty read in a row, a rate report every second.
constexpr int kPollIntervalMs = 10;
constexpr int kMaxEmptyReads = 500;
constexpr qint64 kRatePeriodMs = 1000;

const char *const kCloseReasons[] = {"open failed", "unsupported system", "unsupported model", "disconnected",
                                     "closed",      "USB speed too low"};

void report(QTextStream &out, int frameCount, qint64 elapsedNs, const VideoFrame &frame, const QString &format)
{
    const double fps = elapsedNs > 0 ? frameCount * 1e9 / double(elapsedNs) : 0.0;
    out << "fps: " << QString::number(fps, 'f', 2) << '\n'
        << "resolution: " << frame.width() << 'x' << frame.height() << '\n'
        << "format: " << format << '\n';
    out.flush();
}

} // namespace

// Polls the camera directly on this thread; CameraPlayThread takes this place once it can be
// driven from here (its frames acknowledged as a display would, its reports printed).
GrabResult grabFrames(BaseCamera &camera, const GrabRequest &request, QTextStream &out,
                      const std::function<QString(BaseCamera &)> &configure)
{
    GrabResult result;
    CameraCloseReason reason = OpenFailed;
    if (!camera.start(request.openInfo, reason)) {
        result.code = ExitCameraRefused;
        const int index = int(reason);
        result.error =
            QStringLiteral("refused to stream at %1 (%2)")
                .arg(request.openInfo.cameraResolution.resolution)
                .arg(index >= 0 && index < 6 ? QString::fromLatin1(kCloseReasons[index]) : QString::number(index));
        return result;
    }
    result.error = configure(camera);
    if (!result.error.isEmpty()) {
        result.code = ExitBadArgument;
        return result;
    }

    QElapsedTimer rateTimer;
    rateTimer.start();
    int frameCount = 0;
    int emptyReads = 0;
    while (result.received < request.frames) {
        QElapsedTimer iteration;
        iteration.start();
        QCoreApplication::processEvents();
        const VideoFrame frame = camera.readFrame();
        if (frame.isNull() || frame.width() <= 0 || frame.height() <= 0) {
            if (++emptyReads > kMaxEmptyReads) {
                result.code = ExitCameraLost;
                result.error = QStringLiteral("was lost after %1 frames").arg(result.received);
                return result;
            }
        } else {
            emptyReads = 0;
            ++result.received;
            ++frameCount;
            result.lastFrame = frame;
            if (result.received == 1 || rateTimer.elapsed() > kRatePeriodMs) {
                report(out, frameCount, rateTimer.nsecsElapsed(), frame, request.formatName);
                frameCount = 0;
                rateTimer.restart();
            }
        }
        if (result.received >= request.frames)
            break;
        const qint64 rest = kPollIntervalMs - iteration.elapsed();
        if (rest >= 1)
            QThread::msleep(rest);
    }
    // The frames since the last report, so that a short grab also shows its rate.
    if (frameCount > 0)
        report(out, frameCount, rateTimer.nsecsElapsed(), result.lastFrame, request.formatName);
    return result;
}
