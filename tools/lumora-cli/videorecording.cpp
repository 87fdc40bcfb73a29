#include "videorecording.h"

#include "camerasession.h"
#include "codecsettings.h"
#include "videorecorder.h"

#include <QEventLoop>
#include <QMap>
#include <QTextStream>
#include <QTimer>

#include <algorithm>

namespace {

// A camera that sends nothing for this long counts as lost.
constexpr int kSilenceLimitMs = 5000;
// Steps between frames are counted in buckets of this many microseconds.
constexpr qint64 kStepBucketUs = 100;

// Frames missing from a sequence whose steps between timestamps were counted in `steps`
// (bucket -> count): a step of n typical steps hides n - 1 frames. The typical step is the
// median, so that neither the gaps nor an uneven clock decide it.
int missingFrames(const QMap<qint64, int> &steps, int stepCount)
{
    qint64 typical = 0;
    int seen = 0;
    for (auto it = steps.cbegin(); it != steps.cend() && typical == 0; ++it) {
        seen += it.value();
        if (seen * 2 >= stepCount)
            typical = it.key();
    }
    int missing = 0;
    for (auto it = steps.cbegin(); typical > 0 && it != steps.cend(); ++it)
        missing += it.value() * std::max<int>(0, int((it.key() + typical / 2) / typical) - 1);
    return missing;
}

} // namespace

RecordResult recordVideo(CameraSession &session, const QString &path, int seconds, QTextStream &progress)
{
    RecordResult result;
    VideoRecorder recorder;
    recorder.setPath(path);
    QEventLoop loop;
    bool done = false;
    const auto finish = [&](ExitCode code, const QString &error) {
        if (done)
            return;
        done = true;
        result.code = code;
        result.error = error;
        loop.quit();
    };

    qint64 firstUs = -1;
    qint64 lastUs = -1;
    QMap<qint64, int> steps;
    int stepCount = 0;
    QTimer silence;
    silence.setSingleShot(true);
    silence.setInterval(kSilenceLimitMs);
    QObject::connect(&silence, &QTimer::timeout, &loop, [&] {
        finish(ExitCameraLost, QStringLiteral("was lost: it sent no frame for %1 seconds").arg(kSilenceLimitMs / 1000));
    });
    QTimer ticker;
    ticker.setInterval(1000);
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        progress << "recording: " << (lastUs - firstUs) / 1000000 << " s, " << recorder.framesWritten()
                 << " frames written, " << recorder.framesDropped() << " dropped\n";
        progress.flush();
        if (!recorder.errorString().isEmpty())
            finish(ExitWriteFailed, recorder.errorString()); // classified once the file is closed
    });
    QObject::connect(&recorder, &VideoRecorder::lackOfFreeSpace, &loop,
                     [&] { finish(ExitOutOfSpace, recorder.errorString()); });

    QObject::connect(session.frameFeed(), &LiveFrameFeed::frameArrived, &loop, [&](const VideoFrame &frame) {
        if (done)
            return;
        silence.start();
        if (firstUs < 0) {
            // The picture size is known only now.
            if (!recorder.init(CodecSettings::forPictureSize(frame.width(), frame.height()))) {
                finish(ExitWriteFailed, QStringLiteral("cannot encode %1x%2 pictures into %3")
                                            .arg(frame.width())
                                            .arg(frame.height())
                                            .arg(path));
                return;
            }
            recorder.start();
            if (!recorder.isStarted()) {
                finish(recorder.ranOutOfSpace() ? ExitOutOfSpace : ExitWriteFailed, recorder.errorString());
                return;
            }
            firstUs = frame.timestampUs();
            ticker.start();
        } else if (frame.timestampUs() - firstUs >= qint64(seconds) * 1000000) {
            finish(ExitOk, QString());
            return;
        } else if (frame.timestampUs() > lastUs) {
            ++steps[(frame.timestampUs() - lastUs) / kStepBucketUs];
            ++stepCount;
        }
        lastUs = frame.timestampUs();
        recorder.onFrame(frame);
    });
    QObject::connect(&session, &CameraSession::cameraCloseForReason, &loop,
                     [&](const QString &, CameraCloseReason reason) {
                         finish(firstUs < 0 && reason == OpenFailed ? ExitCameraRefused : ExitCameraLost,
                                QStringLiteral("was lost (%1)").arg(CameraSession::closeReasonName(reason)));
                     });
    QObject::connect(&session, &CameraSession::closeDeviceForOpenFailed, &loop,
                     [&] { finish(ExitCameraRefused, QStringLiteral("refused to stream")); });

    loop.exec();
    session.close(session.cameraName(), UserClosed);
    // Encodes what is still queued and finishes the file.
    recorder.stop();
    if (recorder.ranOutOfSpace())
        result.code = ExitOutOfSpace;
    else if (!recorder.errorString().isEmpty())
        result.code = ExitWriteFailed;
    if (!recorder.errorString().isEmpty())
        result.error = recorder.errorString();
    result.written = recorder.framesWritten();
    result.dropped = recorder.framesDropped();
    result.missed = missingFrames(steps, stepCount);
    result.seconds = firstUs < 0 ? 0.0 : (lastUs - firstUs) / 1e6;
    return result;
}
