#include "framegrabber.h"

#include "basecamera.h"
#include "cameraplaythread.h"
#include "camerasession.h"

#include <QDateTime>
#include <QEventLoop>

GrabResult grabFrames(CameraSession &session, int frames, const std::function<QString(BaseCamera &)> &configure,
                      int count, int intervalMs, const PhotoTaker &take)
{
    GrabResult result;
    QEventLoop loop;
    // Frames queued before the loop stops still arrive; none of them counts.
    bool done = false;
    const auto finish = [&](ExitCode code, const QString &error) {
        done = true;
        result.code = code;
        result.error = error;
        loop.quit();
    };

    bool configured = false;
    qint64 configuredUs = 0;
    int delivered = 0;
    int taken = 0;
    qint64 nextDueUs = 0; // after the first picture: when the next one is due
    QObject::connect(session.frameFeed(), &LiveFrameFeed::frameArrived, &loop, [&](const VideoFrame &frame) {
        if (done)
            return;
        ++delivered;
        if (!configured) {
            // The camera streams now, so the region of interest is checked against the live size.
            configured = true;
            const std::shared_ptr<BaseCamera> camera = session.camera();
            QString error;
            QMetaObject::invokeMethod(
                camera.get(), [&] { error = configure(*camera); }, Qt::BlockingQueuedConnection);
            if (!error.isEmpty())
                finish(ExitBadArgument, error);
            // Frames read before the settings took may still be on their way.
            configuredUs = QDateTime::currentMSecsSinceEpoch() * 1000;
            return;
        }
        if (frame.timestampUs() <= configuredUs || (taken > 0 && frame.timestampUs() < nextDueUs))
            return;
        result.lastFrame = frame;
        if (++result.received < frames && taken == 0)
            return;
        ++taken;
        const QString error = take ? take(frame) : QString();
        if (!error.isEmpty())
            finish(ExitWriteFailed, error);
        else if (taken >= count)
            finish(ExitOk, QString());
        nextDueUs = frame.timestampUs() + qint64(intervalMs) * 1000;
    });
    QObject::connect(
        &session, &CameraSession::cameraCloseForReason, &loop, [&](const QString &, CameraCloseReason reason) {
            if (done)
                return;
            const QString why = CameraSession::closeReasonName(reason);
            if (reason == OpenFailed && !configured) {
                const CameraPlayThread::CaptureParameters stream = session.playThread()->captureParameters();
                finish(ExitCameraRefused, QStringLiteral("refused to stream at %1 (%2)")
                                              .arg(CameraResolution::text(stream.width, stream.height), why));
            } else {
                finish(ExitCameraLost, QStringLiteral("was lost after %1 frames (%2)").arg(delivered).arg(why));
            }
        });
    QObject::connect(&session, &CameraSession::closeDeviceForOpenFailed, &loop,
                     [&] { finish(ExitCameraRefused, QString()); });

    loop.exec();
    session.close(session.cameraName(), UserClosed);
    return result;
}
