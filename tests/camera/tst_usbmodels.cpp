// What the USB model classes switch on, each against a virtual device of its own.
#include "frameconversion.h"
#include "models/cameramodelfactory.h"
#include "models/cm02ucamera.h"
#include "usbfeatures.h"
#include "uvccamera.h"
#include "virtualusbcamera.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

namespace {

QString usbPath(const char *productId, const char *tag)
{
    return QStringLiteral("usb#vid_2bdf&pid_%1#%2#video").arg(QLatin1String(productId), QLatin1String(tag));
}

struct Device
{
    const char *productId;
    const char *tag; // the factory finds the first-family and cm08..cm12 models by this text
    int firmware;
};

const Device kDevices[] = {
    {"0201", "cm01", 142}, {"0202", "cm02", 142},     {"0205", "cm05", 142}, {"0207", "0001", 142},
    {"0211", "cm11", 130}, {"0211", "cm11-new", 145}, {"0217", "0001", 142}, {"0218", "0001", 142},
    {"0280", "0001", 142}, {"0283", "0001", 142},     {"028b", "0001", 142},
};

quint32 mask(std::initializer_list<UsbFeature> features)
{
    quint32 m = 0;
    for (UsbFeature f : features)
        m |= f;
    return m;
}

// The mean absolute difference of two pictures of the same size, per sample.
double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *pa = a.constScanLine(y);
        const uchar *pb = b.constScanLine(y);
        for (int x = 0; x < 3 * a.width(); ++x)
            sum += std::abs(int(pa[x]) - int(pb[x]));
    }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

class TestUsbModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path()));
        QJsonArray devices;
        for (const Device &d : kDevices) {
            devices.append(QJsonObject{{"name", usbPath(d.productId, d.tag)},
                                       {"pid", d.productId},
                                       {"firmware", d.firmware},
                                       {"model_suffix", "B2"},
                                       {"fps", 120},
                                       {"specimen", "cells"},
                                       {"capabilities", QJsonArray{virtualCapability(320, 240)}}});
        }
        const QString path = m_dir.filePath("devices.json");
        QVERIFY(writeVirtualDevices(path, devices));
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(path));
        lmcam_api_init();
    }

    void featuresFollowTheClassChain_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<quint32>("features");
        const quint32 first = mask({UsbFocusMode, UsbFocusOnce, UsbFocusState, UsbMotorCenter, UsbFocusRegionGrid,
                                    UsbFocusRegionRect, UsbZoom, UsbDrc, UsbCac, UsbLed, UsbZoomSpeed});
        const quint32 compact = mask({UsbGainUnit, UsbLongExposure, UsbDisplayMode, UsbGammaCurve});
        QTest::newRow("Cm02U adds stepping to the first family") << usbPath("0202", "cm02") << (first | UsbFocusStep);
        QTest::newRow("Cm09U inherits Cm08U")
            << usbPath("0209", "cm09")
            << mask({UsbFocusMode, UsbFocusOnce, UsbFocusState, UsbMotorCenter, UsbFocusRegionRect, UsbDrc, UsbCac});
        QTest::newRow("Cm10U inherits Cm11U and Cm23") << usbPath("0210", "cm10") << (compact | UsbFocusRegionGrid);
        QTest::newRow("Cm20U inherits Cm19U and Cm22U")
            << usbPath("0220", "0001")
            << mask({UsbFocusStep, UsbDefog, UsbFocusCurve, UsbFocusOnce, UsbFocusRegionRect, UsbZoom, UsbDrc, UsbCac});
        QTest::newRow("Cm26 three levels below Cm23") << usbPath("0283", "0001") << compact;
        QTest::newRow("Cm17U has none of its own") << usbPath("0217", "0001") << 0u;
        QTest::newRow("network model") << QStringLiteral("CM21_IPC") << 0u;
    }

    void featuresFollowTheClassChain()
    {
        QFETCH(QString, path);
        QFETCH(quint32, features);
        const std::shared_ptr<BaseCamera> camera = createCameraForKey(path);
        QVERIFY(camera);
        QCOMPARE(usbModelFeatures(camera.get()), features);
    }

    void focusByFamily_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("modes");
        QTest::addColumn<bool>("steps");
        QTest::addColumn<bool>("zoomAndLight");
        QTest::newRow("Cm01U: modes and position") << usbPath("0201", "cm01") << true << false << true;
        QTest::newRow("Cm02U: also steps") << usbPath("0202", "cm02") << true << true << true;
        QTest::newRow("Cm18U: steps only") << usbPath("0218", "0001") << false << true << false;
        QTest::newRow("Cm17U: no focus") << usbPath("0217", "0001") << false << false << false;
    }

    void focusByFamily()
    {
        QFETCH(QString, path);
        QFETCH(bool, modes);
        QFETCH(bool, steps);
        QFETCH(bool, zoomAndLight);
        // The virtual device answers every call: what the panel is offered comes from the model.
        auto camera = startCamera(path);
        QVERIFY(camera);
        QSignalSpy info(camera.get(), &BaseCamera::sendAllInfo);
        camera->onGetAllInfo();
        QCOMPARE(info.count(), 1);
        const CameraInfo sent = info.first().first().value<CameraInfo>();
        QCOMPARE(sent.focus.supported, modes || steps);
        QCOMPARE(sent.opticalZoom.supported, zoomAndLight);
        QCOMPARE(sent.digitalZoom.supported, zoomAndLight);
        QCOMPARE(sent.led.supported, zoomAndLight);
        QCOMPARE(sent.drc.supported, zoomAndLight);
        QCOMPARE(sent.focusRegionSupported, zoomAndLight);
        QVERIFY(sent.expTime.supported); // every USB camera has exposure

        QSignalSpy values(camera.get(), &BaseCamera::sendFocusValue);
        int32_t position = -1;

        if (!modes)
            QTest::ignoreMessage(QtInfoMsg, "Current camera not support focus");
        camera->onSetFocusMode(FocusAuto, true);
        if (!modes)
            QTest::ignoreMessage(QtInfoMsg, "Current camera not support focus");
        camera->onSetFocusMode(FocusManual, true);
        if (modes) {
            // Back in manual focus the panel learns where the motor stopped.
            QCOMPARE(values.count(), 1);
            QCOMPARE(lmcam_get_focus(camera->handle(), &position), LMCAM_OK);
            QCOMPARE(values.last().first().toInt(), position);
            camera->onSetFocusValue(700);
            QCOMPARE(lmcam_get_focus(camera->handle(), &position), LMCAM_OK);
            QCOMPARE(position, 700);
        } else {
            QCOMPARE(values.count(), 0);
        }

        lmcam_set_focus_mode(camera->handle(), LMCAM_MODE_MANUAL);
        int32_t before = 0;
        QCOMPARE(lmcam_get_focus(camera->handle(), &before), LMCAM_OK);
        values.clear();
        if (!steps)
            QTest::ignoreMessage(QtInfoMsg, "Current camera not support focus");
        camera->onSetFocusAdd();
        QCOMPARE(lmcam_get_focus(camera->handle(), &position), LMCAM_OK);
        if (steps) {
            QVERIFY(position > before);
            QCOMPARE(values.count(), 1);
            QCOMPARE(values.last().first().toInt(), position);
            camera->onSetFocusSub();
            QCOMPARE(lmcam_get_focus(camera->handle(), &position), LMCAM_OK);
            QCOMPARE(position, before);
        } else {
            QCOMPARE(position, before);
            QCOMPARE(values.count(), 0);
        }
    }

    void focusCellFormFollowsFirmware_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("flagged");
        // Cm11U sends the cell with its switch from firmware 140 on.
        QTest::newRow("firmware 130: bare cell") << usbPath("0211", "cm11") << false;
        QTest::newRow("firmware 145: cell with switch") << usbPath("0211", "cm11-new") << true;
        // The first family has no focus-region version: always the second form.
        QTest::newRow("Cm01U") << usbPath("0201", "cm01") << true;
    }

    void focusCellFormFollowsFirmware()
    {
        QFETCH(QString, path);
        QFETCH(bool, flagged);
        auto camera = startCamera(path);
        QVERIFY(camera);
        QSignalSpy status(camera.get(), &BaseCamera::sendFocusRegionStatus);
        camera->onSetFocusRegionStatus(true);
        QCOMPARE(status.count(), 1);
        camera->onSetFocusRegion(true, 0, 3, 4);

        lmcam_point point{0, 0};
        lmcam_focus_region_v2 region;
        std::memset(&region, 0, sizeof(region));
        QCOMPARE(lmcam_get_focus_region_v1(camera->handle(), &point), LMCAM_OK);
        QCOMPARE(lmcam_get_focus_region_v2(camera->handle(), &region), LMCAM_OK);
        // The form not used keeps the device's default cell.
        if (flagged) {
            QCOMPARE(region.enable, 1);
            QCOMPARE(QPoint(region.point.x, region.point.y), QPoint(3, 4));
            QCOMPARE(QPoint(point.x, point.y), QPoint(8, 7));
            camera->onSetFocusRegionStatus(false);
            QCOMPARE(lmcam_get_focus_region_v2(camera->handle(), &region), LMCAM_OK);
            QCOMPARE(region.enable, 0);
        } else {
            QCOMPARE(QPoint(point.x, point.y), QPoint(3, 4));
            QCOMPARE(QPoint(region.point.x, region.point.y), QPoint(8, 7));
        }
        QSignalSpy cell(camera.get(), &BaseCamera::sendFocusRegion);
        camera->onGetFocusRegion();
        QCOMPARE(cell.count(), 1);
        QCOMPARE(cell.first().at(1).toInt(), 3);
        QCOMPARE(cell.first().at(2).toInt(), 4);
    }

    void focusRectanglesCollectedFor300ms()
    {
        auto camera = startCamera(usbPath("0202", "cm02"));
        QVERIFY(camera);
        auto rectangle = [&] {
            lmcam_focus_region_v3 region;
            std::memset(&region, 0, sizeof(region));
            lmcam_get_focus_region_v3(camera->handle(), &region);
            return QRect(region.rect.x, region.rect.y, region.rect.width, region.rect.height);
        };
        const QRect initial = rectangle();
        auto drag = [&](int x) {
            camera->onSetFocusRegionV2(CameraControlRegion{true, true, x, 20, 40, 30, 320, 240});
        };
        QElapsedTimer clock;
        clock.start();
        drag(10);
        drag(20);
        drag(30);
        QCOMPARE(rectangle(), initial);
        QTRY_COMPARE_WITH_TIMEOUT(rectangle(), QRect(30, 20, 40, 30), 10000);
        QVERIFY2(clock.elapsed() >= Cm02UCamera::kFocusRegionDelayMs - 10, "applied before the delay ran out");
        // A later change starts a new collection.
        drag(50);
        QCOMPARE(rectangle(), QRect(30, 20, 40, 30));
        QTRY_COMPARE_WITH_TIMEOUT(rectangle(), QRect(50, 20, 40, 30), 10000);
    }

    void cm07IsAPlainVideoCamera()
    {
        // Cm07 leaves the sensor as it is and turns the pictures itself.
        auto camera = startCamera(usbPath("0207", "0001"));
        QVERIFY(camera);
        const QImage plain = videoFrameToQImage(nextVirtualFrame(*camera));
        QVERIFY(!plain.isNull());
        QSignalSpy mirrorStatus(camera.get(), &BaseCamera::sendMirrorStatus);
        camera->onSetMirrorStatus(true);
        camera->onSetFlipStatus(true);
        QCOMPARE(mirrorStatus.count(), 1);
        int32_t deviceMirror = -1, deviceFlip = -1;
        QCOMPARE(lmcam_get_mirror(camera->handle(), &deviceMirror), LMCAM_OK);
        QCOMPARE(lmcam_get_flip(camera->handle(), &deviceFlip), LMCAM_OK);
        QCOMPARE(deviceMirror, 0);
        QCOMPARE(deviceFlip, 0);

        const QImage turned = videoFrameToQImage(nextVirtualFrame(*camera));
        QCOMPARE(turned.size(), plain.size());
        const double asExpected = meanDifference(turned, plain.mirrored(true, true));
        const double unchanged = meanDifference(turned, plain);
        QVERIFY2(asExpected < 4.0 && asExpected * 4 < unchanged,
                 qPrintable(QStringLiteral("mirrored %1, unchanged %2").arg(asExpected).arg(unchanged)));

        // Its manual exposure is the exposure time alone.
        QSignalSpy time(camera.get(), &BaseCamera::sendExpTime);
        QSignalSpy gain(camera.get(), &BaseCamera::sendExpGainValue);
        camera->onSetExpMode(ExposureAuto, true);
        camera->onSetExpMode(ExposureManual, true);
        QCOMPARE(time.count(), 1);
        QCOMPARE(gain.count(), 0);
    }

    void basicResetPerModel_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("light");
        QTest::addColumn<bool>("exposureExtras");
        QTest::newRow("Cm01U") << usbPath("0201", "cm01") << false << false;
        QTest::newRow("Cm05U resets its light") << usbPath("0205", "cm05") << true << false;
        QTest::newRow("Cm23 resets gain unit, long exposure, gamma mode") << usbPath("0280", "0001") << false << true;
        QTest::newRow("Cm26 like Cm23") << usbPath("0283", "0001") << false << true;
    }

    void basicResetPerModel()
    {
        QFETCH(QString, path);
        QFETCH(bool, light);
        QFETCH(bool, exposureExtras);
        auto camera = startCamera(path);
        QVERIFY(camera);
        if (light) {
            const int32_t dim[LMCAM_LED_PART_COUNT] = {1, 2, 3, 4};
            QCOMPARE(lmcam_set_cm0x_all_led(camera->handle(), dim), LMCAM_OK);
            camera->onGetLedInfo();
        }
        QSignalSpy led(camera.get(), &BaseCamera::sendLedInfo);
        QSignalSpy gainUnit(camera.get(), &BaseCamera::sendExpGainUnit);
        QSignalSpy longExposure(camera.get(), &BaseCamera::sendLongExpTime);
        QSignalSpy gammaMode(camera.get(), &BaseCamera::sendGammaMode);
        QSignalSpy expMode(camera.get(), &BaseCamera::sendExpMode);
        camera->onResetBasicSettings();
        QCOMPARE(expMode.count(), 1); // every model resets its exposure
        QCOMPARE(led.count(), light ? 1 : 0);
        QCOMPARE(gainUnit.count(), exposureExtras ? 1 : 0);
        QCOMPARE(longExposure.count(), exposureExtras ? 1 : 0);
        QCOMPARE(gammaMode.count(), exposureExtras ? 1 : 0);
        if (light) {
            lmcam_led_info info;
            std::memset(&info, 0, sizeof(info));
            QCOMPARE(lmcam_get_led_info(camera->handle(), &info), LMCAM_OK);
            for (int level : info.levels)
                QCOMPARE(level, info.default_level);
        }
    }

    void sdkUpgradeAndDeviceName()
    {
        const QString path = usbPath("028b", "0001");
        auto camera = startCamera(path);
        QVERIFY(camera);
        // Cm34 is not in the table of serially upgraded models but takes its own files.
        QVERIFY(camera->checkUpgradeFile(m_dir.filePath("cm34B2_v160.update")));
        QTest::ignoreMessage(QtWarningMsg, "The upgrade file is not for current camera!");
        QVERIFY(!camera->checkUpgradeFile(m_dir.filePath("cm26B2_v160.update")));

        const QString firmware = m_dir.filePath("cm34B2_v160.update");
        QFile file(firmware);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(2048, 'f'));
        file.close();
        QSignalSpy status(camera.get(), &BaseCamera::sendUpgradeStatus);
        camera->onUpgrade(firmware);
        QVERIFY(!status.isEmpty());
        QCOMPARE(status.last().at(0).value<UpgradeStatus>(), UpgradeSucceeded);

        camera->onSetDeviceName(QStringLiteral("Bench scope 2"));
        lmcam_device_list list;
        std::memset(&list, 0, sizeof(list));
        QCOMPARE(lmcam_enum_devices(&list), LMCAM_OK);
        bool renamed = false;
        for (int i = 0; i < list.count; ++i) {
            if (QString::fromUtf8(list.devices[i].unique_name) == path)
                renamed = QString::fromUtf8(list.devices[i].description) == QLatin1String("Bench scope 2");
        }
        QVERIFY(renamed);
    }

private:
    // A camera of the model the factory picks for the device, opened and streaming 320 x 240.
    std::shared_ptr<UvcCamera> startCamera(const QString &path)
    {
        auto camera = std::dynamic_pointer_cast<UvcCamera>(createCameraForKey(path));
        return camera && startVirtualCamera(*camera, path, 320, 240) ? camera : nullptr;
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestUsbModels)
#include "tst_usbmodels.moc"
