// The camera panel with a virtual USB camera (1080p): opening the camera through the panel until
// every control shows the camera's values, and building the panel until it is on screen, each
// against the camera's own open with its information read. Needs a display (bench/run.sh
// provides a virtual one).
#include "basecamera.h"
#include "benchutil.h"
#include "camerasession.h"
#include "camsettings.h"
#include "models/cameramodelfactory.h"
#include "parametercontrol.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <lmcam.h>

namespace {

const char *kDevice = "usb#vid_2bdf&pid_0283#0001#video";
constexpr int kRuns = 15;
constexpr int kWarmUps = 2;
constexpr int kGiveUpMs = 10000;

void writeDevice(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(QStringLiteral("{\"devices\": [{\"name\": \"%1\", \"pid\": \"0283\", \"fps\": 30, \"specimen\": "
                              "\"cells\", \"capabilities\": [{\"width\": 1920, \"height\": 1080, \"format\": 12}]}]}")
                   .arg(QLatin1String(kDevice))
                   .toUtf8());
}

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "bench_camsettings: %s\n", what);
    std::exit(1);
}

// The least any panel can take: the model object made, opened and its information read, as the
// program's cameras do it (their stored row applied).
double cameraOpenMs(const CameraOpenInfo &record)
{
    std::shared_ptr<BaseCamera> camera;
    const double ms = BenchUtil::millisecondsOf([&] {
        camera = createCamera(record);
        camera->setResolutionInfo(record);
        camera->useStoredParameters(true);
        if (!camera->open(record))
            fail("the virtual camera does not open");
        camera->onGetAllInfo();
    });
    camera->close();
    return ms;
}

// The values a control panel must show once the camera's information has arrived.
bool panelShows(const CamSettings &panel, const CameraInfo &info)
{
    const bool exposureTimeEditable = info.expMode == ExposureManual && info.expTime.supported;
    return panel.parameterControl(QStringLiteral("hue"))->value() == info.hue.value &&
           panel.parameterControl(QStringLiteral("exposure_time"))->isEnabled() == exposureTimeEditable;
}

// The camera opened through the shown panel, with the camera on a thread of its own as in the
// program, until the panel shows what the camera reports.
double panelOpenMs(CamSettings &panel, QThread &cameraThread, const CameraOpenInfo &record)
{
    bool received = false;
    CameraInfo reported;
    std::shared_ptr<BaseCamera> camera;
    QElapsedTimer clock;
    clock.start();
    camera = panel.openCamera(record);
    if (!camera)
        fail("the panel does not open the virtual camera");
    // Connected after the panel: the queued report reaches the panel first.
    QObject::connect(camera.get(), &BaseCamera::sendAllInfo, &panel, [&](const CameraInfo &info) {
        reported = info;
        received = true;
    });
    camera->moveToThread(&cameraThread);
    emit panel.getCameraAllInfo();
    while (!(received && panelShows(panel, reported))) {
        if (clock.elapsed() > kGiveUpMs)
            fail("the panel does not show the camera's values");
        QCoreApplication::processEvents();
    }
    const double ms = clock.nsecsElapsed() / 1e6;

    panel.closeCameraForReason(QLatin1String(kDevice), UserClosed);
    QThread *gui = QThread::currentThread();
    QMetaObject::invokeMethod(
        camera.get(),
        [&camera, gui] {
            camera->close();
            camera->moveToThread(gui);
        },
        Qt::BlockingQueuedConnection);
    return ms;
}

// Paint events seen by the panel: it is on screen once the first has been handled.
class PaintSpy : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

double panelBuildMs()
{
    PaintSpy spy;
    std::unique_ptr<CamSettings> panel;
    QElapsedTimer clock;
    clock.start();
    panel = std::make_unique<CamSettings>();
    panel->installEventFilter(&spy);
    panel->resize(340, 900);
    panel->show();
    while (!spy.painted) {
        if (clock.elapsed() > kGiveUpMs)
            fail("the panel is never painted");
        QCoreApplication::processEvents();
    }
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(data.filePath("devices.json")));
    qputenv("LSDK_DISCOVERY_TARGETS", "127.0.0.1:9");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lumora"));
    writeDevice(data.filePath("devices.json"));
    lmcam_api_init();
    const CameraOpenInfo record = CameraSession::openRecord(UsbCamera, QLatin1String(kDevice), QStringLiteral("283"));

    CamSettings panel;
    panel.resize(340, 900);
    panel.show();
    QThread cameraThread;
    cameraThread.start();

    std::vector<double> anchors, opens, builds;
    for (int run = 0; run < kWarmUps + kRuns; ++run) {
        const double anchor = cameraOpenMs(record);
        const double open = panelOpenMs(panel, cameraThread, record);
        const double build = panelBuildMs();
        if (run >= kWarmUps) {
            anchors.push_back(anchor);
            opens.push_back(open);
            builds.push_back(build);
        }
    }
    cameraThread.quit();
    cameraThread.wait();
    lmcam_api_destroy();

    const double anchor = BenchUtil::median(anchors);
    BenchUtil::printFigure("camsettings_open_all_controls_1080p", BenchUtil::median(opens), "ms",
                           "camera_open_all_info", anchor);
    BenchUtil::printFigure("camsettings_build_shown", BenchUtil::median(builds), "ms", "camera_open_all_info", anchor);
    return 0;
}
