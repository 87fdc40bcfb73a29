// The controls of the camera panel on their own: region of interest, flat-field reference files,
// rotation and the ring light, checked on what they send to the camera.
#include "ffccontrol.h"
#include "frameconversion.h"
#include "ledcontrol.h"
#include "roicontrol.h"
#include "rotatecontrol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

class TestPanelControls : public QObject
{
    Q_OBJECT

private slots:
    void roiPreset_data()
    {
        QTest::addColumn<int>("preset");
        QTest::addColumn<QRect>("region");
        QTest::newRow("None") << 0 << QRect(0, 0, 1920, 1080);
        QTest::newRow("1/2") << 1 << QRect(480, 270, 960, 540);
        QTest::newRow("1/16") << 4 << QRect(900, 506, 120, 67);
    }
    void roiPreset()
    {
        QFETCH(int, preset);
        QFETCH(QRect, region);
        RoiControl roi;
        roi.findChild<QComboBox *>("roi_preset_comboBox")->setCurrentIndex(preset);
        roi.setPictureSize(QSize(1920, 1080));
        QCOMPARE(QRect(spin(roi, "roi_x_spinBox"), spin(roi, "roi_y_spinBox"), spin(roi, "roi_width_spinBox"),
                       spin(roi, "roi_height_spinBox")),
                 region);
    }

    void roiApply_data()
    {
        QTest::addColumn<int>("rotate");
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QRect>("original");
        QTest::newRow("upright") << 0 << QSize(1920, 1080) << QRect(100, 50, 328, 200);
        // A quarter turn: the camera crops its 1920 x 1080 frames before turning them.
        QTest::newRow("quarter turn") << 90 << QSize(1080, 1920) << QRect(50, 652, 200, 328);
    }
    void roiApply()
    {
        QFETCH(int, rotate);
        QFETCH(QSize, picture);
        QFETCH(QRect, original);
        RoiControl roi;
        roi.setVideoRotate(rotate);
        roi.setPictureSize(picture);
        roi.findChild<QSpinBox *>("roi_x_spinBox")->setValue(101);
        roi.findChild<QSpinBox *>("roi_y_spinBox")->setValue(51);
        roi.findChild<QSpinBox *>("roi_width_spinBox")->setValue(333);
        roi.findChild<QSpinBox *>("roi_height_spinBox")->setValue(201);
        roi.findChild<QCheckBox *>("roi_crop_checkBox")->setChecked(true);
        QSignalSpy sent(&roi, &RoiControl::setCameraRoiRegion);
        roi.findChild<QPushButton *>("roi_apply_btn")->click();
        QCOMPARE(sent.count(), 1);
        const auto shown = sent.at(0).at(0).value<CameraControlRegion>();
        const auto onFrame = sent.at(0).at(1).value<CameraControlRegion>();
        QVERIFY(shown.enable && onFrame.enable);
        QCOMPARE(QRect(shown.x, shown.y, shown.width, shown.height), QRect(100, 50, 328, 200));
        QCOMPARE(QRect(onFrame.x, onFrame.y, onFrame.width, onFrame.height), original);
    }

    void ffcImport_data()
    {
        QTest::addColumn<QSize>("resolution");
        QTest::addColumn<FfcControl::ImportOutcome>("outcome");
        QTest::newRow("same size") << QSize(6, 4) << FfcControl::ImportOutcome::Imported;
        QTest::newRow("other size") << QSize(8, 4) << FfcControl::ImportOutcome::SizeMismatch;
    }
    void ffcImport()
    {
        QFETCH(QSize, resolution);
        QFETCH(FfcControl::ImportOutcome, outcome);
        QImage reference(6, 4, QImage::Format_RGB888);
        for (int y = 0; y < reference.height(); ++y)
            for (int x = 0; x < reference.width(); ++x)
                reference.setPixel(x, y, qRgb(40 * x, 60 * y, 200));
        const QTemporaryDir dir;
        const QString path = FfcControl::withFfcSuffix(dir.filePath("reference"));
        QCOMPARE(path, dir.filePath("reference.ffc"));

        FfcControl source;
        QVERIFY(!source.exportAverageFrame(path)); // nothing captured yet
        source.onRecvFFCAverageFrame(videoFrameFromQImage(reference));
        QVERIFY(source.exportAverageFrame(path));

        FfcControl target;
        target.setCurrentResolution(resolution);
        QSignalSpy sent(&target, &FfcControl::setFFCAverageFrame);
        QCOMPARE(target.importAverageFrame(path), outcome);
        QCOMPARE(sent.count(), outcome == FfcControl::ImportOutcome::Imported ? 1 : 0);
        if (!sent.isEmpty())
            QCOMPARE(videoFrameToQImage(sent.at(0).at(0).value<VideoFrame>()), reference);
    }

    void rotationFromLabel_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("angle");
        QTest::newRow("90") << QStringLiteral("90°") << 90;
        QTest::newRow("270") << QStringLiteral("270°") << 270;
        QTest::newRow("no angle") << QStringLiteral("90") << 0;
    }
    void rotationFromLabel()
    {
        QFETCH(QString, label);
        QFETCH(int, angle);
        QCOMPARE(::rotationFromLabel(label), angle);
    }

    void rotateButtons()
    {
        RotateControl rotate;
        auto *quarter = rotate.findChild<QPushButton *>("rotate_90_btn");
        auto *half = rotate.findChild<QPushButton *>("rotate_180_btn");
        QSignalSpy video(&rotate, &RotateControl::signalVideoRotate);
        QSignalSpy current(&rotate, &RotateControl::signalCurVideoRotate);
        quarter->click();
        half->click(); // takes over from 90
        QVERIFY(!quarter->isChecked());
        half->click(); // back upright
        QCOMPARE(angles(video), QList<int>({90, 180, 0}));
        QCOMPARE(angles(current), QList<int>({90, 180, 0}));

        rotate.onRecvVideoRotate(270); // shown, not asked for again
        QCOMPARE(rotate.rotateAngle(), 270);
        QCOMPARE(video.count(), 3);
    }

    void ledParts()
    {
        LedControl led;
        LedInfo info;
        info.supported = true;
        info.partCount = 4;
        info.maxLevel = 255;
        info.levels = {0, 30, 0, 0};
        QSignalSpy sent(&led, &LedControl::setCameraLed);
        led.onRecvCameraLedInfo(info);
        QVERIFY(led.findChild<QCheckBox *>("led_left_checkBox")->isChecked());
        QCOMPARE(sent.count(), 0);

        led.findChild<QCheckBox *>("led_up_checkBox")->setChecked(true);    // on at the last level
        led.findChild<QSlider *>("led_level_slider")->setValue(40);         // moves both lit parts
        led.findChild<QCheckBox *>("led_left_checkBox")->setChecked(false); // off
        QList<QPair<int, int>> requests;
        for (const QList<QVariant> &request : sent)
            requests.append({request.at(0).toInt(), request.at(1).toInt()});
        QCOMPARE(requests, (QList<QPair<int, int>>{{0, 30}, {0, 40}, {1, 40}, {1, 0}}));
    }

private:
    static int spin(const QWidget &widget, const char *name) { return widget.findChild<QSpinBox *>(name)->value(); }
    static QList<int> angles(const QSignalSpy &spy)
    {
        QList<int> result;
        for (const QList<QVariant> &arguments : spy)
            result.append(arguments.at(0).toInt());
        return result;
    }
};

QTEST_MAIN(TestPanelControls)
#include "tst_panelcontrols.moc"
