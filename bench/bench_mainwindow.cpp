// The program's window (1280 x 720) with a virtual camera: how long from building the window
// to the first picture on screen, and how many of the camera's frames reach the screen, at
// 1080p30, 1080p60 and 4K30. Needs a display (bench/run.sh provides a virtual one).
#include "basecamera.h"
#include "benchutil.h"
#include "camerasession.h"
#include "mainwindow2.h"
#include "models/cameramodelfactory.h"
#include "startup.h"
#include "surfaceformat.h"
#include "videowidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <lmcam.h>

namespace {

const char *kDevice = "usb#vid_2bdf&pid_0283#0001#video";
constexpr int kFirstSearchMs = 1000; // the window's first camera search waits this long
constexpr int kRuns = 3;
constexpr int kRateSeconds = 6;

void writeDevice(const QString &path, int width, int height, int fps)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(
        QStringLiteral("{\"devices\": [{\"name\": \"%1\", \"pid\": \"0283\", \"fps\": %4, \"specimen\": \"cells\", "
                       "\"capabilities\": [{\"width\": %2, \"height\": %3, \"format\": 12}]}]}")
            .arg(QLatin1String(kDevice))
            .arg(width)
            .arg(height)
            .arg(fps)
            .toUtf8());
}

// Opening the camera object and reading its first frame directly: the least any window can take.
double directFirstFrameMs()
{
    QElapsedTimer clock;
    clock.start();
    lmcam_api_init();
    const CameraOpenInfo record = CameraSession::openRecord(UsbCamera, QLatin1String(kDevice), QStringLiteral("283"));
    std::shared_ptr<BaseCamera> camera = createCamera(record);
    camera->setResolutionInfo(record);
    if (!camera->open(record))
        return -1;
    CameraInfo info;
    QObject::connect(camera.get(), &BaseCamera::sendAllInfo, [&info](CameraInfo all) { info = all; });
    camera->onGetAllInfo();
    CameraOpenInfo start = record;
    start.cameraResolution = info.current;
    start.cameraResolution.devicePath = QLatin1String(kDevice);
    CameraCloseReason reason = UserClosed;
    if (!camera->start(start, reason))
        return -1;
    while (camera->readFrame().isNull())
        QThread::msleep(1);
    const double ms = clock.elapsed();
    camera->close();
    lmcam_api_destroy();
    return ms;
}

void measure(const char *label, int width, int height, int fps, const QString &devicesPath)
{
    writeDevice(devicesPath, width, height, fps);
    std::vector<double> windowMs;
    std::vector<double> directMs;
    std::vector<double> shownFps;
    std::vector<double> cameraFps;
    for (int run = 0; run < kRuns; ++run) {
        directMs.push_back(kFirstSearchMs + directFirstFrameMs());

        QElapsedTimer clock;
        clock.start();
        auto window = std::make_unique<MainWindow2>();
        std::vector<double> reported;
        QObject::connect(window->session(), &CameraSession::sendFps,
                         [&reported](const QString &fps) { reported.push_back(fps.toDouble()); });
        window->resize(1280, 720);
        window->show();
        while (window->liveView()->shownFrames() == 0 && clock.elapsed() < 20000)
            QTest::qWait(1);
        const qint64 firstMs = clock.elapsed();
        windowMs.push_back(double(firstMs));

        QTest::qWait(2000); // settle
        reported.clear();
        const int before = window->liveView()->shownFrames();
        QElapsedTimer rate;
        rate.start();
        QTest::qWait(kRateSeconds * 1000);
        shownFps.push_back((window->liveView()->shownFrames() - before) * 1000.0 / double(rate.elapsed()));
        cameraFps.push_back(BenchUtil::median(reported));
        window.reset();
        QTest::qWait(200);
    }
    BenchUtil::printFigure(std::string("window_first_frame_") + label, BenchUtil::median(windowMs), "ms",
                           "search_delay_plus_direct_open", BenchUtil::median(directMs));
    BenchUtil::printFigure(std::string("window_shown_fps_") + label, BenchUtil::median(shownFps), "fps",
                           "camera_delivered_fps", BenchUtil::median(cameraFps));
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
    Startup::initResources();
    setDefaultSurfaceFormat();
    measure("1080p30", 1920, 1080, 30, data.filePath("devices.json"));
    measure("1080p60", 1920, 1080, 60, data.filePath("devices.json"));
    measure("4k30", 3840, 2160, 30, data.filePath("devices.json"));
    return 0;
}
