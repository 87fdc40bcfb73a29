// CameraPlayThread streaming from virtual USB devices through UvcCamera, and from a stub
// camera where the exact sequence of empty reads matters.
#include "../camera/virtualusbcamera.h"
#include "cameraplaythread.h"
#include "rgb24buffer.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const char *kDevice = "usb#vid_2bdf&pid_0283#0001#video";

QMutex g_logMutex;
QStringList g_log;
void collectMessages(QtMsgType, const QMessageLogContext &, const QString &text)
{
    QMutexLocker locker(&g_logMutex);
    g_log << text;
}
bool logged(const QString &start)
{
    QMutexLocker locker(&g_logMutex);
    return std::any_of(g_log.begin(), g_log.end(), [&](const QString &line) { return line.startsWith(start); });
}

// Delivers one frame, then `emptyReads` empty ones, then frames again.
class StubCamera : public BaseCamera
{
public:
    explicit StubCamera(int emptyReads) : m_emptyReads(emptyReads) { m_displayName = QStringLiteral("Stub"); }
    bool open(const CameraOpenInfo &) override { return true; }
    bool start(const CameraOpenInfo &, CameraCloseReason &) override { return true; }
    bool close() override { return ++closes, true; }
    bool changeResolution(const CameraOpenInfo &, CameraCloseReason &) override { return true; }
    VideoFrame readFrame() override
    {
        const int n = reads++;
        return n >= 1 && n <= m_emptyReads ? VideoFrame() : m_frame;
    }
    bool initCameraInfo(CameraInfo &) override { return true; }
    void initDefaultInfo() override {}

    std::atomic<int> reads{0};
    std::atomic<int> closes{0};

private:
    const int m_emptyReads;
    const VideoFrame m_frame{RGB24Buffer::Create(16, 8), 0};
};

} // namespace

class TestCameraPlayThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(m_dir.filePath("devices.json")));
        lmcam_api_init();
        qInstallMessageHandler(collectMessages);
    }

    void init()
    {
        QMutexLocker locker(&g_logMutex);
        g_log.clear();
    }

    void oneFrameInFlightAndRate_data()
    {
        QTest::addColumn<int>("deviceFps");
        QTest::addColumn<int>("ackDelayMs"); // -1: the display never acknowledges
        QTest::newRow("displayAcknowledgesAtOnce") << 30 << 0;
        QTest::newRow("slowDisplayStillReportsCameraRate") << 60 << 80;
        QTest::newRow("lostAcknowledgementsEscapeOncePerSecond") << 30 << -1;
    }

    void oneFrameInFlightAndRate()
    {
        QFETCH(int, deviceFps);
        QFETCH(int, ackDelayMs);
        writeDevice(deviceFps);
        auto camera = openCamera();
        QVERIFY(camera);
        auto thread = startThread(camera, false);
        QSignalSpy fps(thread.get(), &CameraPlayThread::sendFps);
        QSignalSpy sizes(thread.get(), &CameraPlayThread::resolutionChange);
        QSignalSpy formats(thread.get(), &CameraPlayThread::formatChanged);
        QVector<qint64> sentMs;
        bool inFlight = false;
        int overlaps = 0;
        CameraPlayThread *t = thread.get();
        QObject display; // pending acknowledgements die with this row
        connect(t, &CameraPlayThread::putVideoFrame, &display, [&, t](VideoFrame frame, int) {
            overlaps += inFlight && ackDelayMs >= 0;
            inFlight = true;
            sentMs << frame.timestampUs() / 1000;
            if (ackDelayMs >= 0)
                QTimer::singleShot(ackDelayMs, &display, [&, t] { inFlight = false, t->onFrameRendered(); });
        });
        // Two whole rate periods, and three frames even through the once-a-second escape.
        QTRY_VERIFY_WITH_TIMEOUT(fps.count() >= 2 && sentMs.size() >= 3, 10000);
        stop(*thread);
        QCOMPARE(overlaps, 0);
        for (int i = 1; i < sentMs.size(); ++i) {
            const qint64 gap = sentMs[i] - sentMs[i - 1];
            if (ackDelayMs < 0)
                QVERIFY2(gap > 1000 && gap < 2500, qPrintable(QString::number(gap))); // late on a loaded machine
            else
                QVERIFY2(gap >= ackDelayMs, qPrintable(QString::number(gap)));
        }

        // Every report covers a whole period from the first frame on, and counts every received
        // frame, displayed or not (a loaded machine may read fewer, never a fraction of them).
        for (int i = 0; i < fps.count(); ++i) {
            const QString text = fps.at(i).at(0).toString();
            QVERIFY2(QRegularExpression("^\\d+\\.\\d\\d$").match(text).hasMatch(), qPrintable(text));
            QVERIFY2(qAbs(text.toDouble() - deviceFps) <= deviceFps * 0.5, qPrintable(text));
        }
        QCOMPARE(sizes.last().at(0).toString(), QStringLiteral("640x480"));
        QCOMPARE(formats.last().at(0).toString(), QStringLiteral("MJPEG"));
    }

    void pauseFreezesPicture()
    {
        writeDevice(30);
        auto camera = openCamera();
        QVERIFY(camera);
        auto thread = startThread(camera, true);
        QSignalSpy puts(thread.get(), &CameraPlayThread::putVideoFrame);
        QSignalSpy fps(thread.get(), &CameraPlayThread::sendFps);
        QSignalSpy requested(thread.get(), &CameraPlayThread::sendVideoFrame);
        QSignalSpy photos(thread.get(), &CameraPlayThread::sendVideoFrameForTakingPhoto);
        QTRY_VERIFY(puts.count() >= 3);

        thread->onSetPauseStatus(true);
        // A frame already on its way lands before the next report; the one after that ends a
        // whole period spent paused.
        const int reportsWhenPaused = fps.count();
        QTRY_VERIFY_WITH_TIMEOUT(fps.count() > reportsWhenPaused, 5000);
        const int putsWhenPaused = puts.count();
        QTRY_VERIFY_WITH_TIMEOUT(fps.count() > reportsWhenPaused + 1, 5000);
        QCOMPARE(puts.count(), putsWhenPaused);
        QVERIFY(fps.last().at(0).toString().toDouble() > 15.0);

        thread->onGetVideoFrameForTakingPhoto(CameraResolution());
        QCOMPARE(photos.count(), 1); // answered at once, without the camera
        thread->onGetVideoFrame();
        QTRY_COMPARE(requested.count(), 1);
        const qint64 frozenUs = photos.at(0).at(0).value<VideoFrame>().timestampUs();
        QCOMPARE(requested.at(0).at(0).value<VideoFrame>().timestampUs(), frozenUs);
        QVERIFY(QDateTime::currentMSecsSinceEpoch() - frozenUs / 1000 > 1000);

        thread->onSetPauseStatus(false);
        QTRY_VERIFY(puts.count() > putsWhenPaused);
        stop(*thread);
    }

    void emptyReads_data()
    {
        QTest::addColumn<int>("emptyReads");
        QTest::addColumn<bool>("disconnected");
        QTest::newRow("500InARowKeepStreaming") << 500 << false;
        QTest::newRow("501stInARowDisconnects") << 501 << true;
    }

    void emptyReads()
    {
        QFETCH(int, emptyReads);
        QFETCH(bool, disconnected);
        auto camera = std::make_shared<StubCamera>(emptyReads);
        auto thread = startThread(camera, true);
        QSignalSpy closed(thread.get(), &CameraPlayThread::CameraCloseForReason);
        QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished() || camera->reads > emptyReads + 20, 15000);
        if (disconnected) {
            QTRY_COMPARE(closed.count(), 1);
            QCOMPARE(closed.at(0).at(0).toString(), QStringLiteral("Stub"));
            QCOMPARE(closed.at(0).at(1).value<CameraCloseReason>(), Disconnected);
            QVERIFY(logged(QStringLiteral("getVideoFrameData failed! FailedCount=501, cameraName=Stub")));
            QCOMPARE(camera->reads.load(), 502);
            QCOMPARE(camera->closes.load(), 1);
            QVERIFY(!thread->running());
        } else {
            QCOMPARE(camera->closes.load(), 0);
            stop(*thread);
            QCOMPARE(closed.count(), 0);
            QCOMPARE(camera->closes.load(), 1);
        }
    }

    void settingsChange_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<bool>("refused");
        QTest::newRow("sameSizeAndFormatOtherRateIgnored") << 640 << 480 << false << false;
        QTest::newRow("offeredSizeApplied") << 1280 << 720 << true << false;
        QTest::newRow("unofferedSizeRefused") << 800 << 600 << true << true;
    }

    void settingsChange()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, applied);
        QFETCH(bool, refused);
        writeDevice(30);
        auto camera = openCamera();
        QVERIFY(camera);
        auto thread = startThread(camera, true, false);
        QSignalSpy changing(thread.get(), &CameraPlayThread::captureSettingsChanged);
        QSignalSpy closed(thread.get(), &CameraPlayThread::CameraCloseForReason);
        QSignalSpy sizes(thread.get(), &CameraPlayThread::resolutionChange);
        thread->start();
        QTRY_COMPARE_WITH_TIMEOUT(sizes.count(), 1, 10000);

        CameraPlayThread::CaptureParameters p = thread->captureParameters();
        p.width = width;
        p.height = height;
        p.fps = 5;
        thread->setCaptureParameters(p);
        if (refused) {
            QTRY_VERIFY(thread->isFinished());
            QCOMPARE(closed.count(), 1);
            QCOMPARE(closed.at(0).at(1).value<CameraCloseReason>(), OpenFailed);
            QVERIFY(logged(QStringLiteral("Camera change capture settings failed!")));
            QCOMPARE(camera->handle(), lmcam_handle(0));
            QVERIFY(!thread->running());
        } else {
            // Sizes are reported once a second; a slow (sanitized, loaded) machine may need more.
            QTRY_COMPARE_WITH_TIMEOUT(sizes.last().at(0).toString(), CameraResolution::text(width, height), 10000);
            QCOMPARE(closed.count(), 0);
            stop(*thread);
        }
        QList<bool> flags;
        for (const QList<QVariant> &args : qAsConst(changing))
            flags << args.at(0).toBool();
        QCOMPARE(flags, applied ? QList<bool>({true, false}) : QList<bool>());
    }

    void streamEnds_data()
    {
        QTest::addColumn<QJsonObject>("faults");
        QTest::addColumn<int>("reason");
        QTest::addColumn<QString>("logLine");
        QTest::addColumn<bool>("cameraClosed");
        QTest::newRow("startRefused") << QJsonObject{{"refuse_context", true}} << int(OpenFailed)
                                      << "CameraPlayThread, open camera failed!" << false;
        QTest::newRow("unpluggedWhileStreaming")
            << QJsonObject{{"disconnect_after_frames", 10}} << int(Disconnected)
            << QStringLiteral("getVideoFrameData failed! FailedCount=501, cameraName=%1").arg(kDevice) << true;
    }

    void streamEnds()
    {
        QFETCH(QJsonObject, faults);
        QFETCH(int, reason);
        QFETCH(QString, logLine);
        QFETCH(bool, cameraClosed);
        writeDevice(30, faults);
        auto camera = openCamera();
        QVERIFY(camera);
        auto thread = startThread(camera, true, false);
        QSignalSpy closed(thread.get(), &CameraPlayThread::CameraCloseForReason);
        thread->start();
        QTRY_VERIFY_WITH_TIMEOUT(thread->isFinished(), 15000);
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(closed.at(0).at(0).toString(), QString::fromLatin1(kDevice));
        QCOMPARE(int(closed.at(0).at(1).value<CameraCloseReason>()), reason);
        QVERIFY2(logged(logLine), qPrintable(logLine));
        QCOMPARE(camera->handle() == 0, cameraClosed);
    }

private:
    void writeDevice(int fps, const QJsonObject &faults = {})
    {
        const QJsonArray caps{virtualCapability(640, 480), virtualCapability(1280, 720)};
        const QJsonObject device{{"name", kDevice}, {"fps", fps}, {"capabilities", caps}, {"faults", faults}};
        QVERIFY(writeVirtualDevices(m_dir.filePath("devices.json"), {device}));
    }

    // A camera opened at 640x480 MJPEG, not yet streaming.
    std::shared_ptr<UvcCamera> openCamera()
    {
        auto camera = std::make_shared<UvcCamera>();
        return startVirtualCamera(*camera, kDevice, 640, 480, false) ? camera : nullptr;
    }

    // A running thread on the camera; with acknowledge the display acknowledges every frame.
    // `start` false leaves the thread ready to start, so that spies can be attached first.
    std::unique_ptr<CameraPlayThread> startThread(std::shared_ptr<BaseCamera> camera, bool acknowledge,
                                                  bool start = true)
    {
        auto thread = std::make_unique<CameraPlayThread>();
        thread->setRunning(true);
        thread->setCaptureCamera(camera);
        thread->applyCameraInfo(camera->cameraInfo());
        if (acknowledge) // as the live view does: drawn, then acknowledged
            connect(thread.get(), &CameraPlayThread::putVideoFrame, thread.get(), &CameraPlayThread::onFrameRendered);
        if (start)
            thread->start();
        return thread;
    }

    static void stop(CameraPlayThread &thread)
    {
        thread.setRunning(false);
        thread.quit();
        thread.wait();
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCameraPlayThread)
#include "tst_cameraplaythread.moc"
