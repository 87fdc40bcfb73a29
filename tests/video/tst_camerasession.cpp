// The camera session of the main window against virtual USB cameras: opening, streaming,
// closing with each reason, and what a lost network camera restarts.
#include "../virtualdevices.h"
#include "basecamera.h"
#include "cameraplaythread.h"
#include "camerasession.h"
#include "frameconversion.h"
#include "models/cameramodelfactory.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <atomic>
#include <cmath>
#include <cstring>
#include <lmcam.h>

namespace {

const char *kDevice = "usb#vid_2bdf&pid_0283#0001#video";

std::shared_ptr<BaseCamera> openWithFactory(const CameraOpenInfo &record)
{
    std::shared_ptr<BaseCamera> camera = createCamera(record);
    if (!camera)
        return nullptr;
    camera->setResolutionInfo(record);
    return camera->open(record) ? camera : nullptr;
}

// The noise of two captures of one still picture: the deviation of their difference.
double noiseBetween(const VideoFrame &a, const VideoFrame &b)
{
    const QImage x = videoFrameToQImage(a), y = videoFrameToQImage(b);
    double sum = 0, squares = 0;
    const qint64 count = qint64(x.width()) * x.height() * 3;
    for (int row = 0; row < x.height(); ++row) {
        const uchar *p = x.constScanLine(row), *q = y.constScanLine(row);
        for (int i = 0; i < x.width() * 3; ++i) {
            const int d = p[i] - q[i];
            sum += d;
            squares += d * d;
        }
    }
    return std::sqrt(squares / count - (sum / count) * (sum / count));
}

} // namespace

class TestCameraSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(m_dir.filePath("devices.json")));
        writeDevices(true);
        lmcam_api_init();
    }

    void closeMessages()
    {
        // The operator is told why a camera went, except when they closed it themselves.
        QSet<QString> messages;
        for (int reason = OpenFailed; reason <= UsbSpeedTooLow; ++reason) {
            const QString message = CameraSession::closeMessage(CameraCloseReason(reason));
            QCOMPARE(message.isEmpty(), reason == UserClosed);
            messages.insert(message);
        }
        QCOMPARE(messages.size(), UsbSpeedTooLow + 1);
        QVERIFY(CameraSession::closeMessage(CameraCloseReason(UsbSpeedTooLow + 1)).isEmpty());
    }

    void openRecords()
    {
        const CameraOpenInfo usb = CameraSession::openRecord(UsbCamera, kDevice, "283");
        QVERIFY(!usb.isNetCamera);
        QCOMPARE(usb.cameraResolution.devicePath, QString::fromLatin1(kDevice));
        const CameraOpenInfo net = CameraSession::openRecord(NetworkCamera, "127.0.0.2", "CM14_IPC");
        QVERIFY(net.isNetCamera);
        QCOMPARE(net.address, QStringLiteral("127.0.0.2"));
        QCOMPARE(net.model, QStringLiteral("CM14_IPC"));
        QCOMPARE(net.userName, QStringLiteral("opusr"));
        QCOMPARE(net.password, QStringLiteral("580264"));
        QCOMPARE(net.port, QStringLiteral("80"));
        // The stream defaults every record starts from.
        QCOMPARE(QSize(net.width, net.height), QSize(1920, 1080));
        QCOMPARE(net.frameRate, 30);
        QCOMPARE(net.bitRate, 86000);
    }

    void streamsAndClosesInOrder()
    {
        writeDevices(true);
        CameraSession session(openWithFactory);
        QSignalSpy frames(&session, &CameraSession::putVideoFrame);
        QSignalSpy streaming(&session, &CameraSession::streaming);
        QVERIFY(session.open(UsbCamera, kDevice, "283"));
        QVERIFY(session.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(streaming.count(), 1, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() > 0, 5000);
        // The camera lives on the control thread while the session is open.
        QCOMPARE(session.camera()->thread(), session.controlThread());
        const VideoFrame frame = frames.first().first().value<VideoFrame>();
        QCOMPARE(QSize(frame.width(), frame.height()), QSize(640, 480));

        std::weak_ptr<BaseCamera> camera = session.camera();
        QVERIFY(session.close(kDevice, UserClosed));
        QVERIFY(!session.isOpen());
        QVERIFY(camera.expired()); // released with the session
        QVERIFY(!session.controlThread()->isRunning());

        // The next session starts the control thread again.
        QVERIFY(session.open(UsbCamera, kDevice, "283"));
        QTRY_VERIFY_WITH_TIMEOUT(session.controlThread()->isRunning(), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(streaming.count(), 2, 5000);
    }

    void feedDeliversEveryFrameUntilUnsubscribed()
    {
        writeDevices(true);
        CameraSession session(openWithFactory);
        QObject subscriber;
        QObject other;
        int received = 0;
        int otherReceived = 0;
        const QMetaObject::Connection subscription = connect(session.frameFeed(), &LiveFrameFeed::frameArrived,
                                                             &subscriber, [&](const VideoFrame &) { ++received; });
        connect(session.frameFeed(), &LiveFrameFeed::frameArrived, &other,
                [&](const VideoFrame &) { ++otherReceived; });
        QVERIFY(session.open(UsbCamera, kDevice, "283"));
        // Nothing acknowledges the display here, so it gets a frame a second; the feed gets them all.
        QTRY_VERIFY_WITH_TIMEOUT(received >= 20, 10000);

        disconnect(subscription);
        QCoreApplication::sendPostedEvents(); // frames already on their way
        const int kept = received;
        const int otherBefore = otherReceived;
        QTRY_VERIFY_WITH_TIMEOUT(otherReceived > otherBefore + 3, 5000);
        QCOMPARE(received, kept);

        // The feed outlives the camera session: its subscribers get the next one's frames.
        QVERIFY(session.close(kDevice, UserClosed));
        QCoreApplication::sendPostedEvents();
        const int otherAtClose = otherReceived;
        QVERIFY(session.open(UsbCamera, kDevice, "283"));
        QTRY_VERIFY_WITH_TIMEOUT(otherReceived > otherAtClose, 5000);
        QCOMPARE(received, kept);
    }

    void closeWithoutSessionDoesNothing()
    {
        CameraSession session(openWithFactory);
        QVERIFY(!session.close(kDevice, Disconnected));
        QVERIFY(session.open(UsbCamera, kDevice, "283"));
        QVERIFY(!session.close(QString(), UserClosed));
        QVERIFY(session.isOpen());
    }

    void lostNetworkCameraRestartsDiscovery_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("reason");
        QTest::addColumn<int>("restarts");
        QTest::newRow("network camera lost") << "127.0.0.2" << int(Disconnected) << 1;
        QTest::newRow("network camera closed") << "127.0.0.2" << int(UserClosed) << 0;
        QTest::newRow("USB camera lost") << kDevice << int(Disconnected) << 0;
    }

    void lostNetworkCameraRestartsDiscovery()
    {
        QFETCH(QString, name);
        QFETCH(int, reason);
        QFETCH(int, restarts);
        writeDevices(true);
        // A USB device stands in for the camera; only the name decides about the network.
        CameraSession session([](const CameraOpenInfo &) {
            CameraOpenInfo usb = CameraSession::openRecord(UsbCamera, kDevice, "283");
            return openWithFactory(usb);
        });
        int restarted = 0;
        session.setNetworkRestart([&restarted] { ++restarted; });
        QVERIFY(session.open(name.startsWith("usb") ? UsbCamera : NetworkCamera, name, "283"));
        QVERIFY(session.close(name, CameraCloseReason(reason)));
        QCOMPARE(restarted, restarts);
    }

    void failedOpenIsReported()
    {
        writeDevices(false);
        CameraSession session(openWithFactory);
        QSignalSpy failed(&session, &CameraSession::closeDeviceForOpenFailed);
        QVERIFY(!session.open(UsbCamera, kDevice, "283"));
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.first().at(1).value<CameraCloseReason>(), OpenFailed);
        // The close that follows the report ends the half-built session.
        QVERIFY(session.close(kDevice, OpenFailed));
        QVERIFY(!session.isOpen());
        writeDevices(true);
    }

    void stalledCameraClosesInTheBackground()
    {
        // Every frame read hangs in the camera SDK for far longer than the close waits.
        writeDevices(true, 3000);
        static std::atomic<bool> stalled{false};
        lmcam_log_set_callback([](int32_t, const char *text) {
            if (strstr(text, "frame read stalls"))
                stalled = true;
        });
        static std::atomic<int> leftInBackground{0};
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
                leftInBackground += text.contains("CameraThread did not stop in time");
            });
        CameraSession session(openWithFactory);
        session.setStopLimits(100, 100);
        QSignalSpy streaming(&session, &CameraSession::streaming);
        QVERIFY(session.open(UsbCamera, kDevice, "283"));
        QTRY_VERIFY_WITH_TIMEOUT(stalled, 5000);
        std::weak_ptr<BaseCamera> camera = session.camera();

        // The close neither kills the thread nor waits for the SDK.
        QVERIFY(session.close(kDevice, UserClosed));
        QVERIFY(!session.isOpen());
        QVERIFY(!camera.expired()); // the stalled read still uses it
        QCOMPARE(leftInBackground.load(), 1);

        // Opened again at once, the camera comes back when the old session has let it go.
        writeDevices(true);
        QVERIFY(session.open(UsbCamera, kDevice, "283"));
        QTRY_COMPARE_WITH_TIMEOUT(streaming.count(), 2, 15000);
        QVERIFY(camera.expired());
        qInstallMessageHandler(previous);
        lmcam_log_set_callback(nullptr);
    }

    void flatFieldAveragesNewFrames()
    {
        // A noisy still picture: a reference averaged over 16 new frames keeps a quarter of the noise.
        writeDevices(true, 0, 8.0);
        CameraSession session(openWithFactory);
        QSignalSpy streaming(&session, &CameraSession::streaming);
        QVERIFY(session.open(UsbCamera, kDevice, "283"));
        QTRY_COMPARE_WITH_TIMEOUT(streaming.count(), 1, 5000);
        BaseCamera *camera = session.camera().get();
        QList<VideoFrame> references;
        connect(camera, &BaseCamera::sendFFCAverageFrame, this, [&](const VideoFrame &frame) { references << frame; });
        for (const int frames : {1, 1, 16, 16}) {
            QMetaObject::invokeMethod(camera, [camera, frames] { camera->onSetFFCCaptureNum(frames); });
            const int expected = references.size() + 1;
            QTRY_COMPARE_WITH_TIMEOUT(references.size(), expected, 10000);
        }
        const double single = noiseBetween(references[0], references[1]);
        const double averaged = noiseBetween(references[2], references[3]);
        QVERIFY2(single > 4 && averaged < 0.5 * single,
                 qPrintable(QStringLiteral("%1, %2").arg(single).arg(averaged)));
        writeDevices(true);
    }

    void usb3ModelRefusesASlowerLink_data()
    {
        QTest::addColumn<int>("busSpeed");
        QTest::addColumn<bool>("streams");
        QTest::newRow("USB 2.0") << 2 << false;
        QTest::newRow("USB 3.0") << 3 << true;
    }

    void usb3ModelRefusesASlowerLink()
    {
        QFETCH(int, busSpeed);
        QFETCH(bool, streams);
        const QString name = QStringLiteral("usb#vid_2bdf&pid_0288#0001#video");
        QVERIFY(writeVirtualDevices(m_dir.filePath("devices.json"),
                                    {QJsonObject{{"name", name},
                                                 {"pid", "0288"},
                                                 {"bus_speed", busSpeed},
                                                 {"capabilities", QJsonArray{virtualCapability(640, 480)}}}}));
        CameraSession session(openWithFactory);
        QSignalSpy frames(&session, &CameraSession::putVideoFrame);
        QSignalSpy closed(&session, &CameraSession::cameraCloseForReason);
        QVERIFY(session.open(UsbCamera, name, "288"));
        QTRY_VERIFY_WITH_TIMEOUT(!frames.isEmpty() || !closed.isEmpty(), 5000);
        QCOMPARE(frames.isEmpty(), !streams);
        QCOMPARE(closed.isEmpty(), streams);
        if (!streams)
            QCOMPARE(closed.first().at(1).value<CameraCloseReason>(), UsbSpeedTooLow);
        writeDevices(true);
    }

private:
    void writeDevices(bool present, int readStallMs = 0, double noise = 0.8)
    {
        const QJsonObject device{{"name", kDevice},
                                 {"pid", "0283"},
                                 {"fps", 60},
                                 {"capabilities", QJsonArray{virtualCapability(640, 480)}},
                                 {"noise", noise},
                                 {"faults", QJsonObject{{"read_stall_ms", readStallMs}}}};
        QVERIFY(writeVirtualDevices(m_dir.filePath("devices.json"), present ? QJsonArray{device} : QJsonArray{}));
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCameraSession)
#include "tst_camerasession.moc"
