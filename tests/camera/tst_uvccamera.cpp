// UvcCamera against virtual USB devices described in a devices file of the test's own.
#include "frameconversion.h"
#include "imageprocess.h"
#include "uvccamera.h"
#include "virtualusbcamera.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <array>
#include <map>

namespace {

const char *kDevice = "usb#vid_2bdf&pid_0283#0001#video";

QStringList g_log;
void collectMessages(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_log << text;
}

// Opens the protected parts the tests drive: the frozen flag, the upgrade through the SDK
// and the second focus-region form.
class ProbeCamera : public UvcCamera
{
public:
    using BaseCamera::setFrozen;
    using UvcCamera::upgradeThroughSdk;
    void useFocusRegionV2() { m_focusRegionVersion = 1; }
};

// Every signal of a camera, by name, with the arguments of each emission.
class SignalLog
{
public:
    explicit SignalLog(QObject *camera)
    {
        const QMetaObject &meta = BaseCamera::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() == QMetaMethod::Signal)
                m_spies[method.name()] =
                    std::make_unique<QSignalSpy>(camera, QByteArray("2" + method.methodSignature()).constData());
        }
    }
    int count(const char *name) const { return spy(name).count(); }
    // Argument `arg` of every emission as a number (enums and flags too).
    template<typename T = int> QList<int> values(const char *name, int arg = 0) const
    {
        QList<int> out;
        for (const QList<QVariant> &emission : spy(name))
            out << int(qvariant_cast<T>(emission.at(arg)));
        return out;
    }
    // The last region (enable, x, y, width, height) sent by a region signal.
    QVector<int> lastRegion(const char *name) const
    {
        const QList<QVariant> args = spy(name).isEmpty() ? QList<QVariant>() : spy(name).last();
        if (args.size() != 5)
            return {};
        return {int(args.at(0).toBool()), args.at(1).toInt(), args.at(2).toInt(), args.at(3).toInt(),
                args.at(4).toInt()};
    }

private:
    const QSignalSpy &spy(const char *name) const { return *m_spies.at(name); }
    std::map<QByteArray, std::unique_ptr<QSignalSpy>> m_spies;
};

using SdkGetter = int32_t (*)(lmcam_handle, int32_t *);

// Parts of a reset, as reported by the camera's signals.
enum ResetPart { ExpPart = 1, FocusPart = 2, ZoomPart = 4, FuncPart = 8, WbPart = 16, AdvancedPart = 32 };
// Where the white balance stands before a reset.
enum WbStart { WbManualAtDefaults, WbManualOffDefaults, WbAutomatic };

// Mean red, green and blue of a picture.
std::array<double, 3> meanRgb(const QImage &image)
{
    std::array<double, 3> sums{0, 0, 0};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sums[0] += qRed(p);
            sums[1] += qGreen(p);
            sums[2] += qBlue(p);
        }
    }
    const double n = double(image.width()) * image.height();
    return {sums[0] / n, sums[1] / n, sums[2] / n};
}

} // namespace

class TestUvcCamera : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_devicesPath = m_dir.filePath("devices.json");
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(m_devicesPath));
        lmcam_api_init();
    }

    void capabilities_data()
    {
        QTest::addColumn<QJsonArray>("caps");
        QTest::addColumn<QVector<int>>("formats");
        QTest::addColumn<QStringList>("mjpegResolutions");

        QTest::newRow("unsupportedCodesOnly")
            << QJsonArray{virtualCapability(1920, 1080, 11), virtualCapability(1280, 720, 99)} << QVector<int>{}
            << QStringList{};
        QTest::newRow("equalPixelCountKeepsFirst")
            << QJsonArray{virtualCapability(1920, 1080), virtualCapability(1280, 720), virtualCapability(1440, 640),
                          virtualCapability(640, 480)}
            << QVector<int>{0} << QStringList{"640x480", "1280x720", "1920x1080"};
        QTest::newRow("formatsMappedAndSorted")
            << QJsonArray{virtualCapability(1920, 1080, 13), virtualCapability(1920, 1080, 10),
                          virtualCapability(1920, 1080, 15), virtualCapability(1920, 1080),
                          virtualCapability(800, 600, 7)}
            << QVector<int>{0, 1, 2, 3} << QStringList{"1920x1080"};
    }

    void capabilities()
    {
        QFETCH(QJsonArray, caps);
        QFETCH(QVector<int>, formats);
        QFETCH(QStringList, mjpegResolutions);
        writeDevices(caps);
        UvcCamera camera;
        QVERIFY(startVirtualCamera(camera, kDevice, 0, 0, false));
        const CameraInfo all = camera.cameraInfo();
        QCOMPARE(all.formats, formats);
        QStringList texts;
        for (const CameraResolution &r : all.resolutions.value(0))
            texts << r.resolution;
        QCOMPARE(texts, mjpegResolutions);
        if (formats.isEmpty())
            QVERIFY(all.resolutions.isEmpty());
    }

    void slotsThatChangeNothing()
    {
        auto camera = startCamera(640, 480);
        QVERIFY(camera);
        // Slots for what a USB camera lacks only say so.
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
        // A value equal to the cached one is neither set nor logged.
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

    void modeSwitches_data()
    {
        QTest::addColumn<bool>("whiteBalance");
        QTest::addColumn<bool>("sendValue");
        QTest::newRow("exposureManualWithValues") << false << true;
        QTest::newRow("exposureManualSilent") << false << false;
        QTest::newRow("whiteBalanceManualWithValues") << true << true;
        QTest::newRow("whiteBalanceManualSilent") << true << false;
    }

    void modeSwitches()
    {
        QFETCH(bool, whiteBalance);
        QFETCH(bool, sendValue);
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

    void roiBounds_data()
    {
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QRect>("outer"); // a region already active: the new one nests inside it
        const QRect none;
        const QRect outer(100, 50, 800, 600);
        QTest::newRow("insideRegionAtBound") << 0 << QRect(100, 100, 700, 500) << true << QString() << outer;
        QTest::newRow("insideRegionOneAbove")
            << 0 << QRect(1, 0, 800, 100) << false << QString("Out of range.\nX + Width = 801 > 800") << outer;
        QTest::newRow("widthAtBound") << 0 << QRect(640, 0, 1280, 1080) << true << QString() << none;
        QTest::newRow("widthOneAbove") << 0 << QRect(641, 0, 1280, 100) << false
                                       << QString("Out of range.\nX + Width = 1921 > 1920") << none;
        QTest::newRow("heightOneAbove") << 0 << QRect(0, 81, 100, 1000) << false
                                        << QString("Out of range.\nY + Height = 1081 > 1080") << none;
        QTest::newRow("bothAbove") << 0 << QRect(1, 1, 1920, 1080) << false
                                   << QString("Out of range.\nX + Width = 1921 > 1920\nY + Height = 1081 > 1080")
                                   << none;
        QTest::newRow("rotatedHeightAtBound") << 90 << QRect(0, 0, 1080, 1920) << true << QString() << none;
        QTest::newRow("rotatedWidthOneAbove")
            << 270 << QRect(1, 0, 1080, 1920) << false << QString("Out of range.\nX + Width = 1081 > 1080") << none;
    }

    void roiBounds()
    {
        QFETCH(int, rotate);
        QFETCH(QRect, rect);
        QFETCH(bool, accepted);
        QFETCH(QString, message);
        QFETCH(QRect, outer);
        auto camera = startCamera(1920, 1080);
        QVERIFY(camera);
        camera->onSetVideoRotate(rotate);
        const auto setRegion = [&camera](const QRect &r) {
            const CameraControlRegion region{true, false, r.x(), r.y(), r.width(), r.height()};
            camera->onSetRoiRegion(region, region);
        };
        if (!outer.isNull())
            setRegion(outer);
        QSignalSpy result(camera.get(), &BaseCamera::sendRoiSettingResult);
        setRegion(rect);
        QCOMPARE(result.count(), 1);
        QCOMPARE(result.at(0).at(0).toBool(), accepted);
        QCOMPARE(result.at(0).at(1).toString(), message);
        const CameraControlRegion stored = camera->roiRegion();
        QCOMPARE(stored.enable, accepted || !outer.isNull());
        const QRect kept = accepted ? rect.translated(outer.topLeft()) : outer;
        QCOMPARE(QRect(stored.x, stored.y, stored.width, stored.height), kept);
        if (accepted && rotate == 0) {
            // Frames are cut to the accepted region.
            const VideoFrame frame = nextVirtualFrame(*camera);
            QCOMPARE(frame.width(), rect.width());
            QCOMPARE(frame.height(), rect.height());
        }
    }

    void photo_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("negative");
        QTest::addColumn<QStringList>("contextLog"); // a size other than the live one takes a context of its own
        QTest::newRow("liveSize") << QSize(640, 480) << false << QStringList();
        QTest::newRow("liveSizeNegative") << QSize(640, 480) << true << QStringList();
        QTest::newRow("otherSize") << QSize(1280, 720) << false << QStringList("Photo capture ctx, res=1280x720");
    }

    void photo()
    {
        QFETCH(QSize, size);
        QFETCH(bool, negative);
        QFETCH(QStringList, contextLog);
        auto camera = startCamera(640, 480, {virtualCapability(640, 480), virtualCapability(1280, 720)});
        QVERIFY(camera);
        QSignalSpy status(camera.get(), &BaseCamera::sendNegativeStatus);
        camera->onSetNegativeStatus(negative);
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.at(0).at(0).toBool(), negative);
        // Wait until the worker has taken the setting.
        QVERIFY(QMetaObject::invokeMethod(
            camera->imageProcess(), [] {}, Qt::BlockingQueuedConnection));
        const VideoFrame live = nextVirtualFrame(*camera);
        QVERIFY(!live.isNull());
        QSignalSpy photo(camera.get(), &BaseCamera::sendVideoFrameForTakingPhoto);
        CameraResolution wanted;
        wanted.width = size.width();
        wanted.height = size.height();
        camera->onGetVideoFrameForTakingPhoto(wanted);
        g_log.clear();
        QtMessageHandler previous = qInstallMessageHandler(collectMessages);
        const VideoFrame after = nextVirtualFrame(*camera);
        qInstallMessageHandler(previous);
        QCOMPARE(photo.count(), 1);
        const QImage shot = videoFrameToQImage(photo.at(0).at(0).value<VideoFrame>());
        QCOMPARE(shot.size(), size);
        QCOMPARE(g_log.filter("capture ctx"), contextLog);
        // The live context is back.
        QCOMPARE(QSize(after.width(), after.height()), QSize(640, 480));
        QCOMPARE(camera->captureContext().width, 640);
        if (size != QSize(640, 480))
            return;
        // At the live size the photo is the last live frame, processed.
        const QImage original = videoFrameToQImage(live);
        int worst = 0;
        for (int y = 0; y < 480; y += 7) {
            for (int x = 0; x < 640; x += 5) {
                const QRgb a = original.pixel(x, y);
                const QRgb b = shot.pixel(x, y);
                for (int shift : {16, 8, 0}) {
                    const int value = int(a >> shift) & 0xff;
                    const int expected = negative ? 255 - value : value;
                    worst = std::max(worst, std::abs((int(b >> shift) & 0xff) - expected));
                }
            }
        }
        QVERIFY2(worst <= 2, qPrintable(QString("largest difference %1").arg(worst)));
    }

    void rotationCutsToMultipleOf8_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QSize>("delivered");
        QTest::newRow("1082rotated90") << 1082 << 90 << QSize(1080, 1920);
        QTest::newRow("1082rotated270") << 1082 << 270 << QSize(1080, 1920);
        QTest::newRow("1080rotated90Uncut") << 1080 << 90 << QSize(1080, 1920);
        QTest::newRow("1082rotated180Uncut") << 1082 << 180 << QSize(1920, 1082);
    }

    void rotationCutsToMultipleOf8()
    {
        QFETCH(int, height);
        QFETCH(int, rotate);
        QFETCH(QSize, delivered);
        auto camera = startCamera(1920, height);
        QVERIFY(camera);
        camera->onSetVideoRotate(rotate);
        const VideoFrame frame = nextVirtualFrame(*camera);
        QCOMPARE(QSize(frame.width(), frame.height()), delivered);
    }

    void unplugGivesEmptyFrames()
    {
        auto camera = startCamera(640, 480);
        QVERIFY(camera);
        QVERIFY(!nextVirtualFrame(*camera).isNull());
        QVERIFY(writeVirtualDevices(m_devicesPath, {}));
        // Noticed on the camera's own reads, without an enumeration; a frame already due may still come.
        QTRY_VERIFY(nextVirtualFrame(*camera).isNull());
    }

    void resets_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<int>("parts");
        QTest::addColumn<int>("rotate");
        QTest::addColumn<bool>("focusRegionV2");
        QTest::addColumn<int>("wbStart");
        const auto row = [](const char *name, const char *slot, int parts, int rotate = 0, bool v2 = false,
                            int wbStart = WbManualOffDefaults) {
            QTest::newRow(name) << QByteArray(slot) << parts << rotate << v2 << wbStart;
        };
        row("exposure", "onResetExp", ExpPart);
        row("whiteBalanceAwayFromDefaults", "onResetWB", WbPart);
        // The cached values equal the defaults: only the lowered cache makes the setters act.
        row("whiteBalanceAlreadyAtDefaults", "onResetWB", WbPart, 0, false, WbManualAtDefaults);
        row("whiteBalanceFromAutomatic", "onResetWB", WbPart, 0, false, WbAutomatic);
        row("focus", "onResetFocus", FocusPart);
        row("focusRotated90", "onResetFocus", FocusPart, 90);
        row("focusRotated270", "onResetFocus", FocusPart, 270);
        row("focusSecondForm", "onResetFocus", FocusPart, 0, true);
        row("functions", "onResetFunc", FuncPart);
        row("basic", "onResetBasicSettings", ExpPart | FocusPart | ZoomPart, 180);
        row("advanced", "onResetAdvancedSettings", FuncPart | WbPart | AdvancedPart);
        row("everything", "onReset", ExpPart | FocusPart | ZoomPart | FuncPart | WbPart | AdvancedPart, 0, false,
            WbAutomatic);
    }

    void resets()
    {
        QFETCH(QByteArray, slot);
        QFETCH(int, parts);
        QFETCH(int, rotate);
        QFETCH(bool, focusRegionV2);
        QFETCH(int, wbStart);
        auto camera = startCamera(640, 480);
        QVERIFY(camera);
        lmcam_handle h = camera->handle();
        if (focusRegionV2)
            camera->useFocusRegionV2();
        camera->onSetVideoRotate(rotate);
        // Away from the defaults: manual exposure with a region of the operator's, white balance
        // as the row asks.
        camera->onSetExpMode(ExposureManual, false);
        camera->onSetExpRegion(true, false, 5, 6, 70, 80);
        const CameraInfo before = camera->cameraInfo();
        const int wbShift = wbStart == WbManualAtDefaults ? 0 : -5;
        camera->onSetWbMode(WbManual, false);
        camera->onSetWbRedValue(before.wbRed.def + wbShift);
        camera->onSetWbGreenValue(before.wbGreen.def + wbShift);
        camera->onSetWbBlueValue(before.wbBlue.def + wbShift);
        if (wbStart == WbAutomatic)
            camera->onSetWbMode(WbAuto, false);
        int32_t redBefore = 0;
        QCOMPARE(lmcam_get_white_balance_component_red(h, &redBefore), LMCAM_OK);

        SignalLog log(camera.get());
        QVERIFY(QMetaObject::invokeMethod(camera.get(), slot.constData(), Qt::DirectConnection));
        const CameraInfo info = camera->cameraInfo();
        int32_t mode = -1;

        const bool exp = parts & ExpPart;
        QCOMPARE(log.values<ExposureMode>("sendExpMode"), exp ? QList<int>{ExposureAuto} : QList<int>{});
        QCOMPARE(log.values("sendExpCompValue"), exp ? QList<int>{info.expComp.def} : QList<int>{});
        QCOMPARE(lmcam_get_exposure_mode(h, &mode), LMCAM_OK);
        QCOMPARE(mode, exp ? LMCAM_MODE_AUTO : LMCAM_MODE_MANUAL);
        QCOMPARE(log.count("sendExpRegion"), int(exp) + int(bool(parts & AdvancedPart)));
        if (exp && !(parts & AdvancedPart))
            QCOMPARE(log.lastRegion("sendExpRegion"), (QVector<int>{0, 5, 6, 70, 80}));

        const bool focus = parts & FocusPart;
        QCOMPARE(log.values<FocusMode>("sendFocusMode"), focus ? QList<int>{FocusAuto} : QList<int>{});
        if (focus && focusRegionV2) {
            const QRect r = info.focusRegionV2;
            QCOMPARE(log.lastRegion("sendFocusRegionV2"), (QVector<int>{1, r.x(), r.y(), r.width(), r.height()}));
            QCOMPARE(log.count("sendFocusRegion"), 0);
        } else if (focus) {
            const bool upright = rotate == 90 || rotate == 270;
            QCOMPARE(log.values("sendFocusRegion", 1), QList<int>{upright ? 7 : 8});
            QCOMPARE(log.values("sendFocusRegion", 2), QList<int>{upright ? 8 : 7});
            QCOMPARE(log.values("sendFocusRegion", 0), QList<int>{0});
            QCOMPARE(log.count("sendFocusRegionV2"), 0);
        } else {
            QCOMPARE(log.count("sendFocusRegion") + log.count("sendFocusRegionV2"), 0);
        }

        const bool zoom = parts & ZoomPart;
        QCOMPARE(log.values("sendDZoomValue"), zoom ? QList<int>{info.digitalZoom.def} : QList<int>{});
        QCOMPARE(log.values("sendZoomValue"), zoom ? QList<int>{info.opticalZoom.def} : QList<int>{});
        QCOMPARE(log.values("sendZoomSpeed"), zoom ? QList<int>{0} : QList<int>{});

        const bool func = parts & FuncPart;
        const auto once = [func](int value) { return func ? QList<int>{value} : QList<int>{}; };
        QCOMPARE(log.values("sendHueValue"), once(info.hue.def));
        QCOMPARE(log.values("sendSaturationValue"), once(info.saturation.def));
        QCOMPARE(log.values("sendContrastValue"), once(info.contrast.def));
        QCOMPARE(log.values("sendSharpnessValue"), once(info.sharpness.def));
        QCOMPARE(log.values("sendGammaValue"), once(info.gamma.def));
        QCOMPARE(log.values("sendDRCValue"), once(info.drc.def));
        QCOMPARE(log.values<GammaMode>("sendGammaMode"), once(GammaValueMode));
        QCOMPARE(log.values<ExposureGainUnit>("sendExpGainUnit"), once(GainUnitDefault));
        for (const char *flag : {"sendFlipStatus", "sendMirrorStatus", "sendFlickStatus", "sendMonoChromeStatus",
                                 "sendDefogStatus", "sendCACStatus", "sendLDCIStatus", "sendNegativeStatus"})
            QVERIFY2(log.values<bool>(flag) == once(0), flag);

        const bool wb = parts & WbPart;
        QCOMPARE(log.values<WbMode>("sendWbMode"), wb ? QList<int>{WbManual} : QList<int>{});
        QCOMPARE(lmcam_get_white_balance_mode(h, &mode), LMCAM_OK);
        QCOMPARE(mode, wb || wbStart != WbAutomatic ? LMCAM_MODE_MANUAL : LMCAM_MODE_AUTO);
        const struct
        {
            const char *signal;
            int def;
            int cached;
            SdkGetter get;
        } components[] = {
            {"sendWbRedValue", info.wbRed.def, info.wbRed.value, lmcam_get_white_balance_component_red},
            {"sendWbGreenValue", info.wbGreen.def, info.wbGreen.value, lmcam_get_white_balance_component_green},
            {"sendWbBlueValue", info.wbBlue.def, info.wbBlue.value, lmcam_get_white_balance_component_blue},
        };
        for (const auto &c : components) {
            // Once from the setter, once more as the reset's own report.
            QVERIFY2(log.values(c.signal) == (wb ? QList<int>{c.def, c.def} : QList<int>{}), c.signal);
            int32_t device = 0;
            QCOMPARE(c.get(h, &device), LMCAM_OK);
            QCOMPARE(device, wb ? c.def : c.def + wbShift);
            QCOMPARE(c.cached, device);
        }
        if (!wb)
            QCOMPARE(info.wbRed.value, redBefore);

        const bool advanced = parts & AdvancedPart;
        for (const char *channel :
             {"sendBlackBalanceRedValue", "sendBlackBalanceGreenValue", "sendBlackBalanceBlueValue"})
            QVERIFY2(log.values(channel) == (advanced ? QList<int>{0} : QList<int>{}), channel);
        QCOMPARE(log.values<bool>("sendFFCStatus"), advanced ? QList<int>{0} : QList<int>{});
        QCOMPARE(log.values<bool>("sendHistogramStatus"), advanced ? QList<int>{0} : QList<int>{});
        QCOMPARE(log.count("sendWBRegion"), int(advanced));
        if (advanced) {
            QCOMPARE(log.lastRegion("sendWBRegion"), (QVector<int>{0, 0, 0, 0, 0}));
            QCOMPARE(log.lastRegion("sendExpRegion"), (QVector<int>{0, 0, 0, 0, 0}));
            QCOMPARE(log.lastRegion("sendBlackBalanceRegion"), (QVector<int>{0, 0, 0, 0, 0}));
        }
    }

    void upgradeThroughSdk_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("nameRefusal"); // what the check of the file's name says, if it refuses
        const QString notThisCamera = "The upgrade file is not for current camera!";
        QTest::newRow("updateFile") << "cm26B2_v151.update" << QByteArray(4096, 'f') << true << QString();
        QTest::newRow("packageFile") << "cm26B2_v151.lpk" << QByteArray(100, 'f') << true
                                     << "Invalid upgrade file name!";
        QTest::newRow("otherExtension") << "cm26B2_v151.bin" << QByteArray(100, 'f') << false
                                        << "Invalid upgrade file name!";
        QTest::newRow("otherModel") << "cm25B2_v151.update" << QByteArray(100, 'f') << true << notThisCamera;
        QTest::newRow("missingSuffix") << "cm26_v151.update" << QByteArray(100, 'f') << true << notThisCamera;
        QTest::newRow("emptyFile") << "empty.update" << QByteArray() << false << notThisCamera;
        QTest::newRow("missingFile") << "missing.update" << QByteArray("-") << false << notThisCamera;
    }

    void upgradeThroughSdk()
    {
        QFETCH(QString, fileName);
        QFETCH(QByteArray, content);
        QFETCH(bool, accepted);
        QFETCH(QString, nameRefusal);
        const QString path = m_dir.filePath(fileName);
        if (content != "-") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        }
        auto camera = startCamera(640, 480);
        QVERIFY(camera);
        if (!nameRefusal.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, qPrintable(nameRefusal));
        QCOMPARE(camera->checkUpgradeFile(path), nameRefusal.isEmpty());
        QVERIFY(!nextVirtualFrame(*camera).isNull());

        struct Report
        {
            int status;
            int percentage;
            bool frozen;
        };
        QVector<Report> reports;
        ProbeCamera *probe = camera.get();
        connect(probe, &BaseCamera::sendUpgradeStatus, [&reports, probe](UpgradeStatus status, int percentage) {
            reports.append({int(status), percentage, probe->isFrozen()});
        });
        QCOMPARE(camera->upgradeThroughSdk(path), accepted);
        QVERIFY(!camera->isFrozen());
        int32_t version = 0; // the device answers again
        QCOMPARE(lmcam_get_version(camera->handle(), &version), LMCAM_OK);
        QVERIFY(!reports.isEmpty());
        for (const Report &r : reports)
            QVERIFY2(r.frozen, "the live view must repeat its picture during the upgrade");
        if (accepted) {
            QVector<QPair<int, int>> expected{{Upgrading, 0}};
            for (int percent = 10; percent < 100; percent += 10)
                expected.append({Upgrading, percent});
            expected.append({UpgradeSucceeded, 100});
            QVector<QPair<int, int>> got;
            for (const Report &r : reports)
                got.append({r.status, r.percentage});
            QCOMPARE(got, expected);
        } else {
            for (const Report &r : reports) {
                QCOMPARE(r.status, int(UpgradeFailed));
                QVERIFY(r.percentage < 0);
            }
            QCOMPARE(reports.last().percentage, -1);
        }
    }

    void frozenRepeatsLastFrame()
    {
        auto camera = startCamera(640, 480);
        QVERIFY(camera);
        const VideoFrame last = nextVirtualFrame(*camera);
        QVERIFY(!last.isNull());
        QVERIFY(!camera->setFrozen(true));
        // Frozen: the last frame comes again, and a repeat counts as a delivery, so three of them
        // take at least two repeat periods (33 ms) however fast the reads come.
        QElapsedTimer clock;
        clock.start();
        int repeats = 0;
        while (repeats < 3 && clock.elapsed() < 10000) {
            const VideoFrame repeated = camera->readFrame();
            if (!repeated.isNull()) {
                QCOMPARE(repeated.videoFrameBuffer(), last.videoFrameBuffer());
                ++repeats;
            }
            QTest::qWait(1);
        }
        QCOMPARE(repeats, 3);
        QVERIFY2(clock.elapsed() >= 2 * 33, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(camera->setFrozen(false));
        const VideoFrame fresh = nextVirtualFrame(*camera);
        QVERIFY(!fresh.isNull());
        QVERIFY(fresh.videoFrameBuffer() != last.videoFrameBuffer());
    }

    void changeResolution_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("localExpRegion");
        QTest::newRow("unchanged") << QSize(640, 480) << false;
        QTest::newRow("largerRegionsFollow") << QSize(1280, 720) << false;
        QTest::newRow("largerOperatorExpRegionKept") << QSize(1280, 720) << true;
    }

    void changeResolution()
    {
        QFETCH(QSize, size);
        QFETCH(bool, localExpRegion);
        auto camera = startCamera(640, 480, {virtualCapability(640, 480), virtualCapability(1280, 720)});
        QVERIFY(camera);
        camera->onSetExpRegion(localExpRegion, true, 1, 2, 30, 40);
        camera->onSetWBRegion(false, true, 3, 4, 50, 60);
        const CameraControlRegion roi{true, false, 0, 0, 320, 240};
        camera->onSetRoiRegion(roi, roi);
        QVERIFY(camera->roiRegion().enable);

        const bool changed = size != QSize(640, 480);
        QSignalSpy resolution(camera.get(), &BaseCamera::previewReslutionChanged);
        const CameraOpenInfo info = virtualOpenInfo(kDevice, size.width(), size.height());
        CameraCloseReason reason = UserClosed;
        QVERIFY(camera->changeResolution(info, reason));
        QCOMPARE(resolution.count(), changed ? 1 : 0);
        if (changed)
            QCOMPARE(resolution.at(0).at(0).toString(), info.cameraResolution.resolution);
        QCOMPARE(camera->roiRegion().enable, !changed);
        // The regions follow on the camera's thread, after the change.
        QCOMPARE(camera->cameraInfo().wbRegion.width, 50);
        const auto region = [](const CameraRegion &r) {
            return QVector<int>{r.enable, r.display, r.x, r.y, r.width, r.height};
        };
        const QVector<int> whole{0, 1, 0, 0, size.width(), size.height()};
        QTRY_COMPARE(region(camera->cameraInfo().wbRegion), changed ? whole : (QVector<int>{0, 1, 3, 4, 50, 60}));
        QTRY_COMPARE(region(camera->cameraInfo().expRegion),
                     changed && !localExpRegion ? whole : (QVector<int>{localExpRegion, 1, 1, 2, 30, 40}));
        const VideoFrame frame = nextVirtualFrame(*camera);
        QCOMPARE(QSize(frame.width(), frame.height()), changed ? size : QSize(320, 240));
    }

    void processingResultsReEmitted_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("blackBalance") << QByteArray("blackBalance");
        QTest::newRow("flatFieldCapture") << QByteArray("flatField");
        QTest::newRow("histogramBoundaries") << QByteArray("histogram");
    }

    void processingResultsReEmitted()
    {
        QFETCH(QByteArray, request);
        auto camera = startCamera(640, 480);
        QVERIFY(camera);
        const VideoFrame live = nextVirtualFrame(*camera);
        QVERIFY(!live.isNull());
        // Standing in for the acquisition thread, which answers the worker's requests.
        ImageProcess *worker = camera->imageProcess();
        connect(
            worker, &ImageProcess::getVideoFrameForProcess, worker,
            [worker, live] { worker->onRecvVideoFrameForProcess(live); }, Qt::QueuedConnection);
        SignalLog log(camera.get());
        if (request == "blackBalance") {
            camera->onSetBlackBalanceOnce();
            QTRY_COMPARE(log.count("sendBlackBalanceBlueValue"), 1);
            // The offsets are the means of the live picture.
            const std::array<double, 3> mean = meanRgb(videoFrameToQImage(live));
            const char *names[] = {"sendBlackBalanceRedValue", "sendBlackBalanceGreenValue",
                                   "sendBlackBalanceBlueValue"};
            for (int c = 0; c < 3; ++c) {
                QCOMPARE(log.count(names[c]), 1);
                QVERIFY2(std::abs(log.values(names[c]).at(0) - mean[c]) <= 2.0, names[c]);
            }
        } else if (request == "flatField") {
            camera->onSetFFCCaptureNum(2);
            QTRY_COMPARE(log.count("sendFFCAverageFrame"), 1);
            QCOMPARE(log.values("sendFFCCurrentCaptureNum"), (QList<int>{1, 2}));
        } else {
            camera->onCalcHistogramBoundariesOnce();
            QTRY_COMPARE(log.count("sendHistogramBoundaries"), 1);
            QCOMPARE(log.count("sendHistogramInfos"), 1);
        }
    }

private:
    void writeDevices(const QJsonArray &capabilities)
    {
        const QJsonObject device{{"name", kDevice}, {"pid", "0283"},       {"model_suffix", "B2"},
                                 {"fps", 120},      {"specimen", "cells"}, {"capabilities", capabilities}};
        QVERIFY(writeVirtualDevices(m_devicesPath, {device}));
    }

    // A camera opened and streaming at width x height (format 0) on a device that offers
    // `capabilities`, or only that size.
    std::unique_ptr<ProbeCamera> startCamera(int width, int height, QJsonArray capabilities = {})
    {
        writeDevices(capabilities.isEmpty() ? QJsonArray{virtualCapability(width, height)} : capabilities);
        auto camera = std::make_unique<ProbeCamera>();
        return startVirtualCamera(*camera, kDevice, width, height) ? std::move(camera) : nullptr;
    }

    QTemporaryDir m_dir;
    QString m_devicesPath;
};

QTEST_GUILESS_MAIN(TestUvcCamera)
#include "tst_uvccamera.moc"
