// The photo flow without a window: countdowns, bursts, the frame that comes back.
#include "configkeys.h"
#include "configstore.h"
#include "frameconversion.h"
#include "photocapture.h"

#include <QtTest>

namespace {

CameraResolution size(int width, int height)
{
    CameraResolution r;
    r.width = width;
    r.height = height;
    return r;
}

VideoFrame picture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::gray);
    return videoFrameFromQImage(image);
}

} // namespace

class TestPhotoCapture : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        ConfigStore &store = ConfigStore::instance();
        store.write(ConfigGroup::Snap, SnapKey::EnableTiming, false);
        store.write(ConfigGroup::BurstMode, BurstModeKey::EnableTiming, false);
        m_state = PhotoCapture::LiveState();
        m_state.photo = m_state.preview = size(640, 480);
    }

    // Photos at 2, 4 and 6 seconds, the progress shown in between, and the end reported once.
    void burstTakesItsPhotosAtTheInterval()
    {
        ConfigStore::instance().write(ConfigGroup::BurstMode, BurstModeKey::Number, 3);
        ConfigStore::instance().write(ConfigGroup::BurstMode, BurstModeKey::Interval, 2);
        PhotoCapture capture([this] { return m_state; });
        capture.setSecondMs(5);
        QStringList events;
        connect(&capture, &PhotoCapture::statusChanged, this, [&](const QString &text) { events << text; });
        connect(&capture, &PhotoCapture::getVideoFrameForTakingPhoto, this,
                [&](const CameraResolution &r) { events << "photo " + r.resolution; });
        QSignalSpy finished(&capture, &PhotoCapture::burstFinished);
        QSignalSpy info(&capture, &PhotoCapture::information);
        capture.onBurstToggled(true);
        QVERIFY(finished.wait(5000));
        const QString progress = QStringLiteral("Continuous Shooting... Countdown: %1 s, progress: %2/3");
        QCOMPARE(events, (QStringList{progress.arg(1).arg(0), "photo 640x480", progress.arg(2).arg(1),
                                      progress.arg(1).arg(1), "photo 640x480", progress.arg(2).arg(2),
                                      progress.arg(1).arg(2), "photo 640x480", QString()}));
        QCOMPARE(info.count(), 1);
        QCOMPARE(info.at(0).at(1).toString(), QStringLiteral("Continuous shooting done, the number of photos: 3"));
        QVERIFY(!capture.isBurstRunning());

        ConfigStore::instance().write(ConfigGroup::BurstMode, BurstModeKey::Interval, 0);
        QSignalSpy warning(&capture, &PhotoCapture::warning);
        capture.onBurstToggled(true);
        QCOMPARE(warning.count(), 1);
        QVERIFY(!capture.isBurstRunning());
    }

    // A second press during the countdown cancels it; no photo is taken.
    void countdownRunsOutOrIsCancelled()
    {
        ConfigStore &store = ConfigStore::instance();
        store.write(ConfigGroup::Snap, SnapKey::EnableTiming, true);
        store.write(ConfigGroup::Snap, SnapKey::RemainingTime, 2); // seconds
        PhotoCapture capture([this] { return m_state; });
        capture.setSecondMs(5);
        QSignalSpy asked(&capture, &PhotoCapture::getVideoFrameForTakingPhoto);
        QSignalSpy status(&capture, &PhotoCapture::statusChanged);
        capture.onPhotoButton();
        QCOMPARE(status.at(0).at(0).toString(),
                 QStringLiteral("After 0 hours, 0 minutes and 2 seconds, start taking a photo"));
        QVERIFY(asked.wait(5000));
        QCOMPARE(asked.count(), 1);

        capture.setSecondMs(60000);
        capture.onPhotoButton();
        QVERIFY(capture.isCountingDown());
        capture.onPhotoButton();
        QVERIFY(!capture.isCountingDown());
        QCOMPARE(status.last().at(0).toString(), QString());
        QCOMPARE(asked.count(), 1);
    }

    // The mismatch warning comes once a run, only when something would be lost; the shown
    // watermark makes the photo the displayed picture when the sizes agree.
    void sourcesAndTheMismatchWarning()
    {
        PhotoCapture capture([this] { return m_state; });
        QSignalSpy warning(&capture, &PhotoCapture::warning);
        QSignalSpy raw(&capture, &PhotoCapture::getVideoFrameForTakingPhoto);
        QSignalSpy rendered(&capture, &PhotoCapture::getWatermarkFrame);
        m_state.watermarkShown = true;
        capture.onPhotoButton();
        QCOMPARE(rendered.count(), 1);
        m_state.photo = size(1280, 960);
        capture.onPhotoButton();
        capture.onPhotoButton();
        QCOMPARE(raw.count(), 2);
        QCOMPARE(raw.at(0).at(0).value<CameraResolution>().resolution, QStringLiteral("1280x960"));
        QCOMPARE(warning.count(), 1);
        QCOMPARE(warning.at(0).at(0).toString(), QStringLiteral("Resolution Mismatch"));
    }

    // Naming by code: the code found names the photo; none found stops with the message and
    // no photo. The region is searched only on a picture of the preview's size.
    void scanCodeNaming()
    {
        m_state.scanCode = true;
        m_state.scanRegion = QRect(11, 21, 101, 51);
        PhotoCapture capture([this] { return m_state; });
        QSize searched;
        QString code = QStringLiteral("SLIDE-7");
        capture.setScanner([&](const QImage &area) {
            searched = area.size();
            return code;
        });
        QSignalSpy ready(&capture, &PhotoCapture::photoReady);
        QSignalSpy warning(&capture, &PhotoCapture::warning);
        QSignalSpy taking(&capture, &PhotoCapture::takingChanged);
        capture.onPhotoButton();
        capture.onRecvVideoFrameForTakingPhoto(picture(640, 480));
        QCOMPARE(searched, QSize(100, 50));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.at(0).at(1).toString(), code);

        code.clear();
        capture.onPhotoButton();
        capture.onRecvVideoFrameForTakingPhoto(picture(800, 600));
        QCOMPARE(searched, QSize(800, 600));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(warning.count(), 1);
        QCOMPARE(taking.last().at(0).toBool(), false);

        // An empty frame ends the attempt quietly; a frame nobody asked for is not a photo.
        capture.onPhotoButton();
        capture.onRecvVideoFrameForTakingPhoto(VideoFrame());
        capture.onRecvVideoFrameForTakingPhoto(picture(640, 480));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(taking.last().at(0).toBool(), false);
    }

private:
    PhotoCapture::LiveState m_state;
};

QTEST_MAIN(TestPhotoCapture)
#include "tst_photocapture.moc"
