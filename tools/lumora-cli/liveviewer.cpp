#include "liveviewer.h"

#include "basecamera.h"
#include "cameraplaythread.h"
#include "camerasession.h"
#include "graphicsview.h"
#include "openglvideowidget.h"
#include "videowidget.h"

#include <QApplication>
#include <QEventLoop>
#include <QTextStream>
#include <QTimer>

ViewResult runLiveView(CameraSession &session, const CliArguments &args, QTextStream &out)
{
    ViewResult result;
    const std::shared_ptr<BaseCamera> camera = session.camera();
    VideoWidget pane;
    pane.setWindowTitle(QStringLiteral("lumora-cli view: %1").arg(session.cameraName()));
    pane.resize(1280, 720);
    OpenGLVideoWidget *display = pane.graphicsView()->videoWidget();

    if (args.zoom > 0) {
        pane.onSetScalePercent(args.zoom);
    }
    pane.onSetVideoNegative(args.negative);
    if (args.blackBalance > 0) {
        pane.onSetVideoBlackBalanceR(args.blackBalance, 255);
        pane.onSetVideoBlackBalanceG(args.blackBalance, 255);
        pane.onSetVideoBlackBalanceB(args.blackBalance, 255);
    }
    if (args.levels.x() >= 0) {
        const int lower = args.levels.x();
        const int upper = args.levels.y();
        pane.onSetHistogramBoundaries({{0, lower, upper}, {1, lower, upper}, {2, lower, upper}}, 255);
        pane.onSetHistogramStatus(true);
    }
    if (!args.watermark.isEmpty()) {
        RenderTextInfo text;
        text.text = args.watermark;
        text.x = 40;
        text.y = -40;
        text.fontSize = 48;
        text.color = Qt::yellow;
        display->onUpdateWatermarkText(text);
        display->onSetWatermarkVisible(true);
    }

    QEventLoop loop;

    // The flat-field reference comes from the camera's own worker; the display corrects with it.
    bool ffcPending = args.ffcFrames > 0;
    QObject::connect(camera.get(), &BaseCamera::sendFFCAverageFrame, &loop, [&](const VideoFrame &reference) {
        pane.onSetFFCAverageFrame(reference);
        pane.onSetFFCStatus(true);
        ffcPending = false;
        out << "flat-field reference: " << reference.width() << 'x' << reference.height() << '\n';
        out.flush();
    });

    bool started = false;
    QObject::connect(&session, &CameraSession::putVideoFrame, &pane, [&](const VideoFrame &frame, int) {
        if (!started) {
            started = true;
            if (args.ffcFrames > 0) {
                const int count = args.ffcFrames;
                QMetaObject::invokeMethod(camera.get(), [camera, count] { camera->onSetFFCCaptureNum(count); });
            }
        }
        pane.onFrame(frame);
    });
    // The display's acknowledgement paces the thread, as in the program.
    QObject::connect(&pane, &VideoWidget::renderDone, session.playThread().get(), &CameraPlayThread::onFrameRendered);
    bool enough = false;
    QObject::connect(&pane, &VideoWidget::renderDone, &loop, [&] {
        // Counting starts once the reference is in use, so the picture shows every correction, and
        // stops at the count asked for: frames drawn while the view closes are not shown ones.
        if (enough || ffcPending)
            return;
        ++result.shown;
        if (args.frames > 0 && result.shown >= args.frames) {
            enough = true;
            if (!args.screenshot.isEmpty()) {
                // After the paint that the acknowledgement schedules.
                QTimer::singleShot(50, &loop, [&] {
                    result.screenshot = pane.grab().toImage();
                    loop.quit();
                });
            } else {
                loop.quit();
            }
        }
    });
    QObject::connect(&session, &CameraSession::cameraCloseForReason, &loop,
                     [&](const QString &, CameraCloseReason reason) {
                         result.code = reason == OpenFailed && !started ? ExitCameraRefused : ExitCameraLost;
                         result.error = QStringLiteral("stopped after %1 frames (%2)")
                                            .arg(result.shown)
                                            .arg(CameraSession::closeReasonName(reason));
                         loop.quit();
                     });
    QObject::connect(&session, &CameraSession::closeDeviceForOpenFailed, &loop, [&] {
        result.code = ExitCameraRefused;
        loop.quit();
    });
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, &loop, &QEventLoop::quit);

    // Once the stream is chosen: a refused one shows no window.
    QObject::connect(&session, &CameraSession::streaming, &pane, [&pane] { pane.show(); });
    loop.exec();
    session.close(session.cameraName(), UserClosed);
    return result;
}
