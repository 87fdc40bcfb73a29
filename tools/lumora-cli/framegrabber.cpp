#include "framegrabber.h"

#include "basecamera.h"
#include "cameraplaythread.h"

#include <QEventLoop>
#include <QTextStream>

#include <iterator>

namespace {

const char *const kCloseReasons[] = {"open failed", "unsupported system", "unsupported model", "disconnected",
                                     "closed",      "USB speed too low"};

} // namespace

QString closeReasonText(CameraCloseReason reason)
{
    const int index = int(reason);
    return index >= 0 && index < int(std::size(kCloseReasons)) ? QString::fromLatin1(kCloseReasons[index])
                                                               : QString::number(index);
}

void setUpAcquisition(CameraPlayThread &thread, const std::shared_ptr<BaseCamera> &camera,
                      const CameraOpenInfo &openInfo, QObject *context, QTextStream &out)
{
    camera->setResolutionInfo(openInfo);
    thread.setCameraName(camera->uniqueName());
    thread.setCaptureCamera(camera);
    thread.setRunning(true);
    const auto print = [&out](const char *label, const QString &value) {
        out << label << value << '\n';
        out.flush();
    };
    QObject::connect(&thread, &CameraPlayThread::sendFps, context,
                     [print](const QString &fps) { print("fps: ", fps); });
    QObject::connect(&thread, &CameraPlayThread::resolutionChange, context,
                     [print](const QString &resolution) { print("resolution: ", resolution); });
    QObject::connect(&thread, &CameraPlayThread::formatChanged, context,
                     [print](const QString &format) { print("format: ", format); });
}

GrabResult grabFrames(const std::shared_ptr<BaseCamera> &camera, const GrabRequest &request, QTextStream &out,
                      const std::function<QString(BaseCamera &)> &configure)
{
    GrabResult result;
    CameraPlayThread thread;
    QEventLoop loop;
    setUpAcquisition(thread, camera, request.openInfo, &loop, out);

    bool configured = false;
    int delivered = 0;
    QObject::connect(&thread, &CameraPlayThread::putVideoFrame, &loop, [&](const VideoFrame &frame, int) {
        ++delivered;
        if (!configured) {
            // The camera streams now, so the region of interest is checked against the live size.
            configured = true;
            result.error = configure(*camera);
            if (!result.error.isEmpty()) {
                result.code = ExitBadArgument;
                loop.quit();
                return;
            }
        } else {
            result.lastFrame = frame;
            if (++result.received >= request.frames) {
                loop.quit();
                return;
            }
        }
        thread.onFrameRendered();
    });
    QObject::connect(
        &thread, &CameraPlayThread::CameraCloseForReason, &loop, [&](const QString &, CameraCloseReason reason) {
            if (reason == OpenFailed && !configured) {
                result.code = ExitCameraRefused;
                result.error = QStringLiteral("refused to stream at %1 (%2)")
                                   .arg(request.openInfo.cameraResolution.resolution, closeReasonText(reason));
            } else {
                result.code = ExitCameraLost;
                result.error =
                    QStringLiteral("was lost after %1 frames (%2)").arg(delivered).arg(closeReasonText(reason));
            }
            loop.quit();
        });

    thread.start();
    loop.exec();
    thread.setRunning(false);
    thread.quit();
    thread.wait();
    return result;
}
