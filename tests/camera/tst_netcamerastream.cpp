// Network cameras end to end: the camera classes over the network library against two
// simulated cameras on loopback, one with the older and one with the newer command set.
#include "cameraplaythread.h"
#include "cameratypes.h"
#include "constants.h"
#include "netcamera.h"
#include "newnetcamera.h"
#include "simprocess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

#include <l_sdk.h>

namespace {

const char *kOldAddress = "127.0.0.2";
const char *kNewAddress = "127.0.0.3";

CameraOpenInfo openInfoFor(const QString &address, const QString &user, const QString &password)
{
    CameraOpenInfo info;
    info.isNetCamera = true;
    info.address = address;
    info.userName = user;
    info.password = password;
    info.port = QString::fromLatin1(Constants::kNetCameraPort);
    return info;
}

CameraOpenInfo programLogin(const QString &address)
{
    return openInfoFor(address, QString::fromLatin1(Constants::kNetCameraUser),
                       QString::fromLatin1(Constants::kLoginPassword));
}

std::unique_ptr<NetCamera> makeCamera(bool newer)
{
    return newer ? std::make_unique<NewNetCamera>() : std::make_unique<NetCamera>();
}

// The cameras the library lists, by address, with their models.
QMap<QString, QString> listedCameras()
{
    char *answer = nullptr;
    QMap<QString, QString> cameras;
    if (l_sdk_discover_get_devs(&answer) == L_SDK_OK && answer) {
        for (const QJsonValue &value : QJsonDocument::fromJson(answer).array()) {
            const QJsonObject device = value.toObject();
            cameras.insert(device["ip"].toString(), device["discover"].toObject()["model"].toString());
        }
    }
    l_sdk_free(answer);
    return cameras;
}

// The next frame the camera hands out within timeoutMs; empty when none came.
VideoFrame nextFrame(NetCamera &camera, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const VideoFrame frame = camera.readFrame();
        if (!frame.isNull())
            return frame;
        QThread::msleep(5);
    }
    return {};
}

CameraInfo readInfo(NetCamera &camera)
{
    CameraInfo info;
    QObject::connect(&camera, &BaseCamera::sendAllInfo, &camera, [&info](CameraInfo all) { info = all; });
    camera.onGetAllInfo();
    return info;
}

// A camera whose command set is open to the test: its routes and the generic read and send.
template<class Camera> struct RouteProbe : Camera
{
    using Camera::route;
    using Camera::sendParam;
    using Camera::storeValue;
    // Every routed parameter as the camera reports it; INT_MIN where this set has no route.
    QVector<int> readAll()
    {
        QVector<int> values;
        for (int p = 0; p < NetCamera::ParamCount; ++p) {
            const auto param = NetCamera::Param(p);
            const bool read = route(param).getCommand && this->readParams({param}, "readAll");
            values << (read ? this->cachedValue(param) : INT_MIN);
        }
        return values;
    }
};

// Sets one parameter through its route and checks that another camera object reads it back
// with every other routed parameter unchanged. The value stays: a later parameter's group
// must carry it as the camera has it.
template<class Camera> void checkRoute(const QString &address, NetCamera::Param param)
{
    RouteProbe<Camera> reader;
    QVERIFY(reader.open(programLogin(address)));
    const QVector<int> before = reader.readAll();
    QVERIFY(before[param] != INT_MIN);
    RouteProbe<Camera> writer;
    QVERIFY(writer.open(programLogin(address)));
    readInfo(writer); // the program's own read fills the groups that a set sends whole
    const bool mode = param == NetCamera::FocusModeParam || param == NetCamera::ExpModeParam ||
                      param == NetCamera::WbModeParam; // 1 and 2, automatic and manual
    QVector<int> expected = before;
    expected[param] = mode ? 3 - before[param] : before[param] ^ 1;
    writer.storeValue(param, expected[param]);
    QVERIFY(writer.sendParam(param));
    QCOMPARE(reader.readAll(), expected);
}

} // namespace

class TestNetCameraStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        registerCameraTypes();
        QVERIFY2(m_old.start(kOldAddress, "CM14_IPC"), qPrintable(m_old.error()));
        QVERIFY2(m_new.start(kNewAddress, "CM08_IPC", {"--new-commands"}), qPrintable(m_new.error()));
        qputenv("LSDK_DISCOVERY_TARGETS", (m_old.discoveryTarget() + "," + m_new.discoveryTarget()).toLatin1());
        QCOMPARE(l_sdk_init(""), L_SDK_OK);
        QCOMPARE(l_sdk_discover_open(""), L_SDK_OK);
        QCOMPARE(l_sdk_discover_run(1), L_SDK_OK);
        // Logins take the command port from discovery.
        QTRY_COMPARE_WITH_TIMEOUT(listedCameras().size(), 2, 10000);
    }

    void cleanupTestCase()
    {
        l_sdk_discover_run(0);
        l_sdk_discover_close();
        l_sdk_quit();
    }

    void discoveryFindsBoth()
    {
        const QMap<QString, QString> cameras = listedCameras();
        QCOMPARE(cameras.value(kOldAddress), QStringLiteral("CM14_IPC"));
        QCOMPARE(cameras.value(kNewAddress), QStringLiteral("CM08_IPC"));
    }

    void login_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("accepted");
        const auto row = [](const char *name, const char *address, const char *user, const char *password,
                            bool accepted) { QTest::newRow(name) << address << user << password << accepted; };
        row("olderFirmware", kOldAddress, "opusr", "580264", true);
        row("newerFirmware", kNewAddress, "opusr", "580264", true);
        row("wrongPassword", kOldAddress, "opusr", "123456", false);
        row("wrongUser", kNewAddress, "admin", "580264", false);
        row("nobodyThere", "127.0.0.9", "opusr", "580264", false);
    }

    void login()
    {
        QFETCH(QString, address);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(bool, accepted);
        NetCamera camera;
        QCOMPARE(camera.open(openInfoFor(address, user, password)), accepted);
        if (accepted)
            QVERIFY(camera.logout());
    }

    void everyRouteOnTheWire_data()
    {
        QTest::addColumn<bool>("newer");
        QTest::addColumn<int>("param");
        const RouteProbe<NetCamera> older;
        const RouteProbe<NewNetCamera> newer;
        for (int p = 0; p < NetCamera::ParamCount; ++p) {
            if (older.route(NetCamera::Param(p)).getCommand)
                QTest::addRow("older_%d_%s", p, older.route(NetCamera::Param(p)).field) << false << p;
            if (newer.route(NetCamera::Param(p)).getCommand)
                QTest::addRow("newer_%d_%s", p, newer.route(NetCamera::Param(p)).field) << true << p;
        }
    }

    void everyRouteOnTheWire()
    {
        QFETCH(bool, newer);
        QFETCH(int, param);
        if (newer)
            checkRoute<NewNetCamera>(kNewAddress, NetCamera::Param(param));
        else
            checkRoute<NetCamera>(kOldAddress, NetCamera::Param(param));
    }

    void streamSizeAndStaleFramesDropped_data()
    {
        QTest::addColumn<bool>("newer");
        QTest::addColumn<int>("format");
        QTest::newRow("olderMjpeg") << false << 0;
        QTest::newRow("newerH264") << true << 3;
    }

    void streamSizeAndStaleFramesDropped()
    {
        QFETCH(bool, newer);
        QFETCH(int, format);
        const std::unique_ptr<NetCamera> camera = makeCamera(newer);
        CameraOpenInfo info = programLogin(newer ? kNewAddress : kOldAddress);
        QVERIFY(camera->open(info));
        info.width = 1280;
        info.height = 720;
        info.streamFormat = format;
        CameraCloseReason error = UserClosed;
        QVERIFY(camera->start(info, error));
        QCOMPARE(camera->openInfo().bitRate, format == 3 ? 30000 : info.bitRate);
        const VideoFrame first = nextFrame(*camera);
        QCOMPARE(QSize(first.width(), first.height()), QSize(1280, 720));

        // Pictures of the old size still on their way are dropped, never shown.
        info.width = 640;
        info.height = 480;
        QVERIFY(camera->changeResolution(info, error));
        int seen = 0;
        QElapsedTimer clock;
        clock.start();
        while (seen < 5 && clock.elapsed() < 20000) {
            const VideoFrame frame = camera->readFrame();
            if (!frame.isNull()) {
                QCOMPARE(QSize(frame.width(), frame.height()), QSize(640, 480));
                ++seen;
            }
            QThread::msleep(5);
        }
        QCOMPARE(seen, 5);
        QVERIFY(camera->close());
        camera->logout();
    }

    // The firmware path travels intact even with quotes and a backslash in it, and the camera
    // reports its progress to the end.
    void upgradeReportsProgress()
    {
        NetCamera camera;
        CameraOpenInfo info = programLogin(kOldAddress);
        info.model = QStringLiteral("CM14_IPC"); // the file name must carry the model's key
        QVERIFY(camera.open(info));
        QSignalSpy status(&camera, &BaseCamera::sendUpgradeStatus);
        camera.onUpgrade(QStringLiteral("/tmp/firmware \"cm14\" \\ 2.update"));
        QVERIFY(status.isEmpty()); // a refused upgrade reports UpgradeFailed at once
        const auto finished = [&] {
            camera.onGetUpgradeStatus();
            return !status.isEmpty() && status.last().at(0).value<UpgradeStatus>() == UpgradeSucceeded;
        };
        QTRY_VERIFY_WITH_TIMEOUT(finished(), 10000);
        QCOMPARE(status.last().at(1).toInt(), 100);
        // Progress only grows, and the camera reports an upgrade under way until the end.
        for (int i = 0; i < status.count(); ++i) {
            const int percentage = status.at(i).at(1).toInt();
            QVERIFY(i == 0 || percentage >= status.at(i - 1).at(1).toInt());
            QCOMPARE(status.at(i).at(0).value<UpgradeStatus>(), percentage < 100 ? Upgrading : UpgradeSucceeded);
        }
        camera.logout();
    }

    // A camera that vanishes ends its session through the acquisition thread with Disconnected;
    // once it is back, discovery lists it again.
    void lostCameraEndsTheSessionAndComesBack()
    {
        auto camera = std::make_shared<NetCamera>();
        CameraOpenInfo info = programLogin(kOldAddress);
        info.width = 640;
        info.height = 480;
        QVERIFY(camera->open(info));
        camera->setResolutionInfo(info);

        CameraPlayThread thread;
        thread.setRunning(true);
        thread.setCaptureCamera(camera);
        connect(&thread, &CameraPlayThread::putVideoFrame, &thread, &CameraPlayThread::onFrameRendered);
        QSignalSpy delivered(&thread, &CameraPlayThread::putVideoFrame);
        QSignalSpy closed(&thread, &CameraPlayThread::CameraCloseForReason);
        thread.start();
        QTRY_VERIFY_WITH_TIMEOUT(delivered.count() >= 5, 15000);

        const quint16 discoveryPort = m_old.discoveryPort();
        m_old.kill();
        QTRY_COMPARE_WITH_TIMEOUT(closed.count(), 1, 20000);
        QCOMPARE(closed.first().at(1).value<CameraCloseReason>(), Disconnected);
        QVERIFY(thread.wait(5000));
        QTRY_VERIFY_WITH_TIMEOUT(!listedCameras().contains(kOldAddress), 10000);

        QVERIFY2(m_old.start(kOldAddress, "CM14_IPC", {}, discoveryPort), qPrintable(m_old.error()));
        QTRY_VERIFY_WITH_TIMEOUT(listedCameras().contains(kOldAddress), 10000);
        NetCamera again;
        QVERIFY(again.open(programLogin(kOldAddress)));
        again.logout();
    }

private:
    SimProcess m_old{NETCAM_SIM_PROGRAM};
    SimProcess m_new{NETCAM_SIM_PROGRAM};
};

QTEST_GUILESS_MAIN(TestNetCameraStream)
#include "tst_netcamerastream.moc"
