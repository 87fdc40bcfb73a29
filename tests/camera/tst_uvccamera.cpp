// UvcCamera against virtual USB devices described in a devices file of the test's own.
#include "uvccamera.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {

const char *kDevice = "usb#vid_2bdf&pid_0283#0001#video";

QStringList g_log;
void collectMessages(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_log << text;
}

QJsonObject capability(int width, int height, int format)
{
    return QJsonObject{{"width", width}, {"height", height}, {"format", format}};
}

} // namespace

class TestUvcCamera : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void capabilities_data();
    void capabilities();
    void equalValueSetterDoesNothing();
    void modeSwitches_data();
    void modeSwitches();
    void roiBounds_data();
    void roiBounds();
    void photoAtLiveSize();
    void photoAtOtherSize();
    void rotationCutsToMultipleOf8_data();
    void rotationCutsToMultipleOf8();
    void unsupportedSlotsLog();
    void unplugGivesEmptyFrames();
    void upgradeFileNames_data();
    void upgradeFileNames();

private:
    void writeDevices(const QJsonArray &capabilities, bool present = true);
    // A camera opened and streaming at width x height (format 0).
    std::unique_ptr<UvcCamera> startCamera(int width, int height);
    // The next delivered frame, waiting for the device's pacing.
    static VideoFrame nextFrame(UvcCamera &camera);

    QTemporaryDir m_dir;
    QString m_devicesPath;
};

void TestUvcCamera::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_devicesPath = m_dir.filePath("devices.json");
    qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(m_devicesPath));
    lmcam_api_init();
}

void TestUvcCamera::writeDevices(const QJsonArray &capabilities, bool present)
{
    QJsonArray devices;
    if (present) {
        devices.append(QJsonObject{{"name", kDevice},
                                   {"pid", "0283"},
                                   {"model_suffix", "B2"},
                                   {"fps", 120},
                                   {"specimen", "cells"},
                                   {"capabilities", capabilities}});
    }
    QFile file(m_devicesPath);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(QJsonDocument(QJsonObject{{"devices", devices}}).toJson());
}

std::unique_ptr<UvcCamera> TestUvcCamera::startCamera(int width, int height)
{
    auto camera = std::make_unique<UvcCamera>();
    CameraOpenInfo info;
    info.cameraResolution.devicePath = kDevice;
    info.cameraResolution.width = width;
    info.cameraResolution.height = height;
    info.cameraResolution.resolution = CameraResolution::text(width, height);
    if (!camera->open(info))
        return nullptr;
    CameraCloseReason reason = UserClosed;
    if (!camera->start(info, reason))
        return nullptr;
    camera->onGetAllInfo();
    return camera;
}

VideoFrame TestUvcCamera::nextFrame(UvcCamera &camera)
{
    for (int i = 0; i < 500; ++i) {
        VideoFrame frame = camera.readFrame();
        if (!frame.isNull())
            return frame;
        QTest::qWait(5);
    }
    return VideoFrame();
}

void TestUvcCamera::capabilities_data()
{
    QTest::addColumn<QJsonArray>("caps");
    QTest::addColumn<QVector<int>>("formats");
    QTest::addColumn<QStringList>("mjpegResolutions");

    QTest::newRow("unsupportedCodesOnly") << QJsonArray{capability(1920, 1080, 11), capability(1280, 720, 99)}
                                          << QVector<int>{} << QStringList{};
    QTest::newRow("equalPixelCountKeepsFirst")
        << QJsonArray{capability(1920, 1080, 12), capability(1280, 720, 12), capability(1440, 640, 12),
                      capability(640, 480, 12)}
        << QVector<int>{0} << QStringList{"640x480", "1280x720", "1920x1080"};
    QTest::newRow("formatsMappedAndSorted")
        << QJsonArray{capability(1920, 1080, 13), capability(1920, 1080, 10), capability(1920, 1080, 15),
                      capability(1920, 1080, 12), capability(800, 600, 7)}
        << QVector<int>{0, 1, 2, 3} << QStringList{"1920x1080"};
}

void TestUvcCamera::capabilities()
{
    QFETCH(QJsonArray, caps);
    QFETCH(QVector<int>, formats);
    QFETCH(QStringList, mjpegResolutions);
    writeDevices(caps);
    UvcCamera camera;
    CameraOpenInfo info;
    info.cameraResolution.devicePath = kDevice;
    QVERIFY(camera.open(info));
    camera.onGetAllInfo();
    const CameraInfo all = camera.cameraInfo();
    QCOMPARE(all.formats, formats);
    QStringList texts;
    for (const CameraResolution &r : all.resolutions.value(0))
        texts << r.resolution;
    QCOMPARE(texts, mjpegResolutions);
    if (formats.isEmpty())
        QVERIFY(all.resolutions.isEmpty());
}

void TestUvcCamera::equalValueSetterDoesNothing()
{
    writeDevices({capability(640, 480, 12)});
    auto camera = startCamera(640, 480);
    QVERIFY(camera);
    const int hue = camera->cameraInfo().hue.value;
    QSignalSpy hueSpy(camera.get(), &BaseCamera::sendHueValue);
    g_log.clear();
    QtMessageHandler previous = qInstallMessageHandler(collectMessages);
    camera->onSetHueValue(hue);
    const QStringList equalLog = g_log;
    camera->onSetHueValue(hue + 1);
    qInstallMessageHandler(previous);
    QVERIFY2(equalLog.isEmpty(), qPrintable(equalLog.join('|')));
    QCOMPARE(hueSpy.count(), 1);
    QCOMPARE(hueSpy.at(0).at(0).toInt(), hue + 1);
    int32_t device = 0;
    QCOMPARE(lmcam_get_hue(camera->handle(), &device), LMCAM_OK);
    QCOMPARE(device, hue + 1);
}

void TestUvcCamera::modeSwitches_data()
{
    QTest::addColumn<bool>("whiteBalance");
    QTest::addColumn<bool>("sendValue");
    QTest::newRow("exposureManualWithValues") << false << true;
    QTest::newRow("exposureManualSilent") << false << false;
    QTest::newRow("whiteBalanceManualWithValues") << true << true;
    QTest::newRow("whiteBalanceManualSilent") << true << false;
}

void TestUvcCamera::modeSwitches()
{
    QFETCH(bool, whiteBalance);
    QFETCH(bool, sendValue);
    writeDevices({capability(640, 480, 12)});
    auto camera = startCamera(640, 480);
    QVERIFY(camera);
    lmcam_handle h = camera->handle();
    // Start from automatic on both, whatever the device's defaults.
    camera->onSetExpMode(ExposureManual, false);
    camera->onSetExpMode(ExposureAuto, false);
    camera->onSetWbMode(WbManual, false);
    camera->onSetWbMode(WbAuto, false);
    QSignalSpy time(camera.get(), &BaseCamera::sendExpTime);
    QSignalSpy gain(camera.get(), &BaseCamera::sendExpGainValue);
    QSignalSpy red(camera.get(), &BaseCamera::sendWbRedValue);
    QSignalSpy blue(camera.get(), &BaseCamera::sendWbBlueValue);
    QSignalSpy comp(camera.get(), &BaseCamera::sendExpCompValue);
    int32_t mode = -1;
    if (whiteBalance) {
        camera->onSetWbMode(WbManual, sendValue);
        QCOMPARE(lmcam_get_white_balance_mode(h, &mode), LMCAM_OK);
        QCOMPARE(mode, LMCAM_MODE_MANUAL);
        QCOMPARE(red.count(), sendValue ? 1 : 0);
        QCOMPARE(blue.count(), sendValue ? 1 : 0);
        int32_t deviceRed = 0;
        lmcam_get_white_balance_component_red(h, &deviceRed);
        QCOMPARE(camera->cameraInfo().wbRed.value, deviceRed);
        QVERIFY(!camera->cameraInfo().wbRegion.enable);
    } else {
        camera->onSetExpMode(ExposureManual, sendValue);
        QCOMPARE(lmcam_get_exposure_mode(h, &mode), LMCAM_OK);
        QCOMPARE(mode, LMCAM_MODE_MANUAL);
        QCOMPARE(time.count(), sendValue ? 1 : 0);
        QCOMPARE(gain.count(), sendValue ? 1 : 0);
        // Manual exposure takes time values; compensation is refused until automatic again.
        camera->onSetExpCompValue(camera->cameraInfo().expComp.value + 3);
        QCOMPARE(comp.count(), 0);
        camera->onSetExpMode(ExposureAuto, sendValue);
        QCOMPARE(lmcam_get_exposure_mode(h, &mode), LMCAM_OK);
        QCOMPARE(mode, LMCAM_MODE_AUTO);
        QCOMPARE(comp.count(), sendValue ? 1 : 0);
    }
}

void TestUvcCamera::roiBounds_data()
{
    QTest::addColumn<int>("rotate");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    QTest::newRow("widthAtBound") << 0 << QRect(640, 0, 1280, 1080) << true << QString();
    QTest::newRow("widthOneAbove") << 0 << QRect(641, 0, 1280, 100) << false
                                   << QString("Out of range.\nX + Width = 1921 > 1920");
    QTest::newRow("heightOneAbove") << 0 << QRect(0, 81, 100, 1000) << false
                                    << QString("Out of range.\nY + Height = 1081 > 1080");
    QTest::newRow("bothAbove") << 0 << QRect(1, 1, 1920, 1080) << false
                               << QString("Out of range.\nX + Width = 1921 > 1920\nY + Height = 1081 > 1080");
    QTest::newRow("rotatedHeightAtBound") << 90 << QRect(0, 0, 1080, 1920) << true << QString();
    QTest::newRow("rotatedWidthOneAbove") << 270 << QRect(1, 0, 1080, 1920) << false
                                          << QString("Out of range.\nX + Width = 1081 > 1080");
}

void TestUvcCamera::roiBounds()
{
    QFETCH(int, rotate);
    QFETCH(QRect, rect);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    writeDevices({capability(1920, 1080, 12)});
    auto camera = startCamera(1920, 1080);
    QVERIFY(camera);
    camera->onSetVideoRotate(rotate);
    QSignalSpy result(camera.get(), &BaseCamera::sendRoiSettingResult);
    CameraControlRegion region;
    region.enable = true;
    region.x = rect.x();
    region.y = rect.y();
    region.width = rect.width();
    region.height = rect.height();
    camera->onSetRoiRegion(region, region);
    QCOMPARE(result.count(), 1);
    QCOMPARE(result.at(0).at(0).toBool(), accepted);
    QCOMPARE(result.at(0).at(1).toString(), message);
    const CameraControlRegion stored = camera->roiRegion();
    QCOMPARE(stored.enable, accepted);
    if (accepted && rotate == 0) {
        // Frames are cut to the accepted region.
        const VideoFrame frame = nextFrame(*camera);
        QCOMPARE(frame.width(), rect.width());
        QCOMPARE(frame.height(), rect.height());
    }
}

void TestUvcCamera::photoAtLiveSize()
{
    writeDevices({capability(640, 480, 12), capability(1280, 720, 12)});
    auto camera = startCamera(640, 480);
    QVERIFY(camera);
    QVERIFY(!nextFrame(*camera).isNull());
    QSignalSpy photo(camera.get(), &BaseCamera::sendVideoFrameForTakingPhoto);
    CameraResolution live;
    live.width = 640;
    live.height = 480;
    camera->onGetVideoFrameForTakingPhoto(live);
    g_log.clear();
    QtMessageHandler previous = qInstallMessageHandler(collectMessages);
    const VideoFrame after = nextFrame(*camera);
    qInstallMessageHandler(previous);
    QCOMPARE(photo.count(), 1);
    const VideoFrame shot = photo.at(0).at(0).value<VideoFrame>();
    QCOMPARE(shot.width(), 640);
    QCOMPARE(shot.height(), 480);
    QCOMPARE(g_log.filter("capture ctx").size(), 0);
    QCOMPARE(after.width(), 640);
}

void TestUvcCamera::photoAtOtherSize()
{
    writeDevices({capability(640, 480, 12), capability(1280, 720, 12)});
    auto camera = startCamera(640, 480);
    QVERIFY(camera);
    QVERIFY(!nextFrame(*camera).isNull());
    QSignalSpy photo(camera.get(), &BaseCamera::sendVideoFrameForTakingPhoto);
    CameraResolution big;
    big.width = 1280;
    big.height = 720;
    camera->onGetVideoFrameForTakingPhoto(big);
    g_log.clear();
    QtMessageHandler previous = qInstallMessageHandler(collectMessages);
    camera->readFrame();
    qInstallMessageHandler(previous);
    QCOMPARE(photo.count(), 1);
    const VideoFrame shot = photo.at(0).at(0).value<VideoFrame>();
    QCOMPARE(shot.width(), 1280);
    QCOMPARE(shot.height(), 720);
    QCOMPARE(g_log.filter("Photo capture ctx, res=1280x720").size(), 1);
    // The live context is back.
    const VideoFrame after = nextFrame(*camera);
    QCOMPARE(after.width(), 640);
    QCOMPARE(after.height(), 480);
    QCOMPARE(camera->captureContext().width, 640);
}

void TestUvcCamera::rotationCutsToMultipleOf8_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("rotate");
    QTest::addColumn<QSize>("delivered");
    QTest::newRow("1082rotated90") << 1082 << 90 << QSize(1080, 1920);
    QTest::newRow("1082rotated270") << 1082 << 270 << QSize(1080, 1920);
    QTest::newRow("1080rotated90Uncut") << 1080 << 90 << QSize(1080, 1920);
    QTest::newRow("1082rotated180Uncut") << 1082 << 180 << QSize(1920, 1082);
}

void TestUvcCamera::rotationCutsToMultipleOf8()
{
    QFETCH(int, height);
    QFETCH(int, rotate);
    QFETCH(QSize, delivered);
    writeDevices({capability(1920, height, 12)});
    auto camera = startCamera(1920, height);
    QVERIFY(camera);
    camera->onSetVideoRotate(rotate);
    const VideoFrame frame = nextFrame(*camera);
    QCOMPARE(QSize(frame.width(), frame.height()), delivered);
}

void TestUvcCamera::unsupportedSlotsLog()
{
    writeDevices({capability(640, 480, 12)});
    auto camera = startCamera(640, 480);
    QVERIFY(camera);
    QTest::ignoreMessage(QtInfoMsg, "Uvc camera does not support to set ip!");
    camera->onSetIp(IpInfo());
    QTest::ignoreMessage(QtInfoMsg, "Current camera not support focus");
    camera->onSetFocusMode(FocusManual, true);
    QTest::ignoreMessage(QtInfoMsg, "Current camera not support set Gamma bezier curve!");
    camera->onSetGammaBezierCurve({}, 0);
    QTest::ignoreMessage(QtInfoMsg, "Current camera does not support to get long exp time!");
    camera->onGetLongExpTime();
    QTest::ignoreMessage(QtInfoMsg, "Uvc camera does not support to get upgrade status!");
    camera->onGetUpgradeStatus();
}

void TestUvcCamera::unplugGivesEmptyFrames()
{
    writeDevices({capability(640, 480, 12)});
    auto camera = startCamera(640, 480);
    QVERIFY(camera);
    QVERIFY(!nextFrame(*camera).isNull());
    writeDevices({}, false);
    lmcam_device_list list;
    std::memset(&list, 0, sizeof(list));
    lmcam_enum_devices(&list);
    QCOMPARE(list.count, 0);
    QVERIFY(nextFrame(*camera).isNull());
}

void TestUvcCamera::upgradeFileNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    QTest::newRow("matchingKeyAndSuffix") << "cm26B2_v151.update" << true << QString();
    QTest::newRow("wrongExtension") << "cm26B2_v151.bin" << false << "Invalid upgrade file name!";
    QTest::newRow("otherModel") << "cm25B2_v151.update" << false << "The upgrade file is not for current camera!";
    QTest::newRow("missingSuffix") << "cm26_v151.update" << false << "The upgrade file is not for current camera!";
}

void TestUvcCamera::upgradeFileNames()
{
    QFETCH(QString, fileName);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    writeDevices({capability(640, 480, 12)});
    auto camera = startCamera(640, 480);
    QVERIFY(camera);
    if (!accepted)
        QTest::ignoreMessage(QtWarningMsg, qPrintable(message));
    QCOMPARE(camera->checkUpgradeFile(m_dir.filePath(fileName)), accepted);
}

QTEST_GUILESS_MAIN(TestUvcCamera)
#include "tst_uvccamera.moc"
