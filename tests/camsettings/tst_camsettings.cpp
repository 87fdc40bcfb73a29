// The camera panel against a virtual camera: requests reach the camera's slots by name, changes
// move the camera and its database row, and what is stored comes back at the next open.
#include "../camera/virtualusbcamera.h"

#include "basecamera.h"
#include "cameradatabase.h"
#include "cameraparameters.h"
#include "camerasearcher.h"
#include "camerasession.h"
#include "camsettings.h"
#include "configkeys.h"
#include "configstore.h"
#include "foldingsection.h"
#include "parametercontrol.h"
#include "schemecontrol.h"
#include "simprocess.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kDevice = QStringLiteral("usb#vid_2bdf&pid_0222#0001#video");
const QString kCompact = QStringLiteral("usb#vid_2bdf&pid_0283#0002#video");
const QString kFocusLed = QStringLiteral("usb#vid_2bdf&pid_0205#cm05#video");
const QString kNetAddress = QStringLiteral("127.0.0.41");

template<typename Widget> Widget *child(const QWidget &panel, const QString &name)
{
    auto *widget = panel.findChild<Widget *>(name);
    if (!widget)
        qWarning() << "no" << name;
    return widget;
}

} // namespace

class TestCamSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path())); // a parameter database of this run's own
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(m_dir.filePath("devices.json")));
        QVERIFY(plugIn());
    }

    // A request named after no camera slot would never be connected, and nothing would say so.
    void requestsReachTheCameraSlots()
    {
        CamSettings panel;
        const QMetaObject &meta = CamSettings::staticMetaObject;
        int requests = 0;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod signal = meta.method(i);
            const QByteArray name = signal.name();
            if (signal.methodType() != QMetaMethod::Signal ||
                !(name.startsWith("setCamera") || name.startsWith("getCamera") || name.startsWith("resetCamera")))
                continue;
            ++requests;
            QVERIFY2(CamSettings::cameraSlotFor(signal).isValid(), signal.methodSignature().constData());
        }
        QVERIFY(requests > 40);
        for (const CameraParameter &p : cameraParameters()) {
            if (!panel.parameterControl(QLatin1String(p.name)))
                continue;
            const QMetaMethod slot = CamSettings::cameraSlotFor(panel.requestSignal(p));
            QVERIFY2(slot.isValid() && QLatin1String(slot.name()) == QLatin1String(p.slot), p.name);
        }
    }

    void unitsAndNoCamera()
    {
        CamSettings panel;
        QSignalSpy hue(&panel, &CamSettings::setCameraHueValue);
        CameraInfo info;
        info.hue = {5, 0, 100, 50, true};
        info.expTime = {10, 1, 100, 10, true};
        info.longExpTime = {0, 0, 10, 0, true};
        info.expTimeRatio = 0.5;
        info.expTimeUnit = 2;
        panel.onRecvCameraAllInfo(info);
        // Without a camera every change is dropped.
        emit panel.parameterControl("hue")->valueEdited(7);
        QCOMPARE(hue.count(), 0);
        QVERIFY(!panel.parameterControl("hue")->isEnabled());
        for (const char *name : {"exposure_time_spin", "long_exposure_time_spin"}) {
            auto *spin = child<QDoubleSpinBox>(panel, QLatin1String(name));
            QCOMPARE(spin->suffix(), QStringLiteral(" ms"));
        }
        QCOMPARE(child<QDoubleSpinBox>(panel, "exposure_time_spin")->maximum(), 50.0);
    }

    void changesReachTheCameraAndItsRow()
    {
        QString uniqueName;
        {
            CamSettings panel;
            panel.show();
            const std::shared_ptr<BaseCamera> camera = panel.openCamera(virtualOpenInfo(kDevice, 640, 480));
            QVERIFY(camera);
            uniqueName = camera->uniqueName();
            emit panel.getCameraAllInfo();
            QTRY_VERIFY(panel.parameterControl("hue")->isEnabled());

            child<QDoubleSpinBox>(panel, "hue_spin")->setValue(9);
            // Black balance goes out as a share of 255.
            QSignalSpy blackBalance(&panel, &CamSettings::setBlackBalanceRedValue);
            child<QDoubleSpinBox>(panel, "bb_red_spin")->setValue(30);
            QCOMPARE(blackBalance.count(), 1);
            QCOMPARE(blackBalance.at(0), (QVariantList{30, 255}));
            child<QRadioButton>(panel, "exposure_mode_1")->click(); // manual
            QTRY_COMPARE(camera->cameraInfo().hue.value, 9);
            QTRY_COMPARE(camera->cameraInfo().expMode, ExposureManual);
            QTRY_VERIFY(panel.parameterControl("exposure_time")->isEnabled());
            const int time = camera->cameraInfo().expTime.min + 1;
            child<QDoubleSpinBox>(panel, "exposure_time_spin")->setValue(time);
            QTRY_COMPARE(camera->cameraInfo().expTime.value, time);

            // A scheme goes to the camera as well.
            emit panel.findChild<SchemeControl *>()->schemeSelected({{"Saturation", 3}, {"Hue", 11}});
            QTRY_COMPARE(camera->cameraInfo().hue.value, 11);
            QTRY_COMPARE(camera->cameraInfo().saturation.value, 3);
            panel.closeCameraForReason(kDevice, UserClosed);
            QVERIFY(!panel.parameterControl("hue")->isEnabled());
        }
        CameraDatabase database;
        QVERIFY(database.open());
        const QVariantMap row = database.findRow(uniqueName).value_or(QVariantMap());
        QCOMPARE(row.value("hueValue").toInt(), 11);
        QCOMPARE(row.value("exposureMode").toInt(), int(ExposureManual));

        // The next open shows what was stored, on a device that has forgotten it.
        QVERIFY(plugIn());
        CamSettings panel;
        const std::shared_ptr<BaseCamera> camera = panel.openCamera(virtualOpenInfo(kDevice, 640, 480));
        QVERIFY(camera);
        emit panel.getCameraAllInfo();
        QTRY_COMPARE(panel.parameterControl("hue")->value(), 11);
        QCOMPARE(panel.parameterControl("saturation")->value(), 3);
    }

    void regionsReachTheCamera()
    {
        CamSettings panel;
        QSignalSpy toCamera(&panel, &CamSettings::setBlackBalanceRegion);
        QSignalSpy toView(&panel, &CamSettings::bBRegionStatusChanged);
        panel.onBBRegionUpdate(true, 10, 20, 30, 40);
        QCOMPARE(toCamera.count(), 0); // no camera

        const std::shared_ptr<BaseCamera> camera = panel.openCamera(virtualOpenInfo(kDevice, 640, 480));
        QVERIFY(camera);
        emit panel.getCameraAllInfo();
        auto *box = child<QCheckBox>(panel, "bb_region_check");
        QTRY_VERIFY(box->isEnabled());
        // Switched on before it was ever drawn: the middle quarter of the picture.
        box->click();
        QCOMPARE(toCamera.count(), 1);
        QCOMPARE(toCamera.at(0), (QVariantList{true, true, 160, 120, 320, 240}));
        QCOMPARE(toView.at(0).at(0).value<CameraControlRegion>().width, 320);
        // Moved on the picture.
        panel.onBBRegionUpdate(true, 10, 20, 30, 40);
        QCOMPARE(toCamera.last(), (QVariantList{true, true, 10, 20, 30, 40}));
        QVERIFY(box->isChecked());
        panel.closeCameraForReason(kDevice, UserClosed);
    }

    // Every control the operator can reach moves its camera (read back from the device) and
    // the camera's row, for a family of each kind.
    void everyControlMovesTheCamera_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("expectedControls"); // what the family offers besides its automatic modes
        QTest::newRow("compactUsb") << int(UsbCamera) << kCompact << QString() << 21;
        QTest::newRow("usb3FocusLed") << int(UsbCamera) << kFocusLed << QString() << 26;
        QTest::newRow("network") << int(NetworkCamera) << kNetAddress << QStringLiteral("CM14_IPC") << 23;
    }

    void everyControlMovesTheCamera()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(QString, model);
        QFETCH(int, expectedControls);
        SimProcess sim(QStringLiteral(NETCAM_SIM_PROGRAM));
        if (type == NetworkCamera) {
            QVERIFY2(sim.start(kNetAddress, model), qPrintable(sim.error()));
            qputenv("LSDK_DISCOVERY_TARGETS", sim.discoveryTarget().toLatin1());
            QVERIFY(CameraSearcher::startNetworkDiscovery());
            QTRY_VERIFY_WITH_TIMEOUT(
                [] { // logins take the command port that discovery reports
                    CameraSearcher::SearchResult found;
                    CameraSearcher::addNetworkCameras(found);
                    return !found.isEmpty();
                }(),
                10000);
        }
        CamSettings panel;
        panel.show();
        const std::shared_ptr<BaseCamera> camera =
            panel.openCamera(CameraSession::openRecord(CameraType(type), name, model));
        QVERIFY(camera);
        emit panel.getCameraAllInfo();
        QTRY_VERIFY(panel.parameterControl("hue")->isEnabled());
        CameraDatabase database;
        QVERIFY(database.open());

        const auto edit = [&](ParameterControl *control) {
            const QString n = control->objectName();
            if (auto *spin = panel.findChild<QDoubleSpinBox *>(n + "_spin"))
                spin->setValue(spin->value() + (spin->value() < spin->maximum() ? 1 : -1) * spin->singleStep());
            else if (auto *check = panel.findChild<QCheckBox *>(n + "_check"))
                check->click();
            else
                for (int i = 0; auto *radio = panel.findChild<QRadioButton *>(n + '_' + QString::number(i)); ++i)
                    if (!radio->isChecked())
                        return radio->click();
        };
        const auto check = [&](ParameterControl *control, int before) {
            const CameraParameter &p = control->parameter();
            const int value = control->value();
            QVERIFY2(value != before, p.name);
            if (!p.field.get) // done on the picture by the image-processing worker: nothing to read back
                return;
            QTRY_COMPARE_WITH_TIMEOUT(std::make_pair(p.name, p.field.get(camera->cameraInfo())),
                                      std::make_pair(p.name, value), 5000);
            if (p.column && p.stored != CameraParameter::NotStored)
                QTRY_COMPARE(
                    std::make_pair(
                        p.name, database.findRow(camera->uniqueName()).value_or(QVariantMap()).value(p.column).toInt()),
                    std::make_pair(p.name, value));
        };
        // The automatic functions to manual first, as the operator would.
        for (const char *mode : {"exposure_mode", "wb_mode", "focus_mode"}) {
            ParameterControl *control = panel.parameterControl(mode);
            auto *manual = child<QRadioButton>(panel, QLatin1String(mode) + "_1");
            if (control->isEnabled() && !manual->isChecked()) {
                const int before = control->value();
                manual->click();
                check(control, before);
                if (QTest::currentTestFailed())
                    return;
            }
        }
        for (FoldingSection *section : panel.findChildren<FoldingSection *>())
            section->setFolded(false);
        int moved = 0;
        for (ParameterControl *control : panel.findChildren<ParameterControl *>()) {
            const QByteArray n = control->objectName().toLatin1();
            if (n == "exposure_mode" || n == "wb_mode" || n == "focus_mode" || !control->isEnabled() ||
                control->isHidden())
                continue;
            ++moved;
            const int before = control->value();
            edit(control);
            check(control, before);
            if (QTest::currentTestFailed())
                return;
        }
        QCOMPARE(moved, expectedControls);
        // The ring light: each part on its own, then all off.
        QCOMPARE(camera->cameraInfo().led.supported, name == kFocusLed);
        if (camera->cameraInfo().led.supported) {
            auto *up = child<QCheckBox>(panel, "led_up_checkBox");
            if (!up->isChecked())
                up->click();
            child<QSpinBox>(panel, "led_level_spinBox")->setValue(7);
            QTRY_COMPARE(camera->cameraInfo().led.levels[0], 7);
            child<QPushButton>(panel, "led_all_off_btn")->click();
            QTRY_COMPARE(camera->cameraInfo().led.levels[0], 0);
        }
        if (type == NetworkCamera)
            CameraSearcher::stopNetworkDiscovery();
    }

    void displayOptionsHideControls()
    {
        CamSettings panel;
        panel.show();
        ConfigStore::instance().write(ConfigGroup::DisplayOptions, DisplayOptionsKey::EnableOptionHue, false);
        panel.onDisplayOptionsChanged();
        QVERIFY(panel.parameterControl("hue")->isHidden());
        QVERIFY(!panel.parameterControl("saturation")->isHidden());
        ConfigStore::instance().write(ConfigGroup::DisplayOptions, DisplayOptionsKey::EnableOptionHue, true);
        panel.onDisplayOptionsChanged();
        QVERIFY(!panel.parameterControl("hue")->isHidden());
    }

private:
    // Writes the devices file anew: every device is plugged in again, back at its own defaults.
    bool plugIn()
    {
        return writeVirtualDevices(
            m_dir.filePath("devices.json"),
            {QJsonObject{{"name", kDevice}, {"pid", "0222"}, {"capabilities", QJsonArray{virtualCapability(640, 480)}}},
             QJsonObject{{"name", kCompact}, {"pid", "0283"}},
             QJsonObject{{"name", kFocusLed}, {"pid", "0205"}, {"bus_speed", 3}}});
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestCamSettings)
#include "tst_camsettings.moc"
