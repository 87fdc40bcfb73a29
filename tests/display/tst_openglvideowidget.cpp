// The picture widget in a real window under Xvfb: what reaches the screen, which frames it
// acknowledges, and the stream it paces.
#include "../camera/virtualusbcamera.h"
#include "../frames/framesamples.h"
#include "cameraplaythread.h"
#include "openglvideowidget.h"
#include "renderer.h"
#include "surfaceformat.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <lmcam.h>

namespace {

const char *kDevice = "usb#vid_2bdf&pid_0283#0001#video";

// Left half dark, right half bright, top quarter red-tinted: enough to see mirroring or flipping.
VideoFrame halvesFrame(int width, int height)
{
    return makeFrame(true, width, height, [=](int plane, int x, int y) {
        return plane == 0 ? (x < width / 2 ? 40 : 200) : plane == 2 && y < (height + 1) / 2 / 4 ? 200 : 128;
    });
}

} // namespace

class TestOpenGLVideoWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setDefaultSurfaceFormat();
        QVERIFY(m_dir.isValid());
    }

    void screenShowsTheUprightPicture_data()
    {
        QTest::addColumn<QString>("corrections");
        QTest::newRow("graphicsCard") << "gpu";
        QTest::newRow("cpu") << "cpu";
    }

    void screenShowsTheUprightPicture()
    {
        QFETCH(QString, corrections);
        OpenGLVideoWidget widget;
        widget.setCorrectionOption(corrections);
        widget.resize(320, 240);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTRY_VERIFY(widget.isInitialized());
        QCOMPARE(widget.renderer()->cpuProcessing(), corrections == "cpu");

        QSignalSpy done(&widget, &OpenGLVideoWidget::renderDone);
        QSignalSpy changed(widget.renderer(), &Renderer::pictureChanged);
        widget.onFrame(halvesFrame(320, 240));
        QCOMPARE(done.count(), 1);
        QTRY_COMPARE(changed.count(), 1);
        const QImage screen = widget.grabFramebuffer().convertToFormat(QImage::Format_RGB888);
        QCOMPARE(screen.size(), QSize(320, 240));
        // Dark left, bright right; the red tint at the top, not the bottom.
        const QColor topLeft = screen.pixelColor(40, 20);
        const QColor topRight = screen.pixelColor(280, 20);
        const QColor bottomLeft = screen.pixelColor(40, 220);
        QVERIFY2(topRight.green() > topLeft.green() + 100, qPrintable(topLeft.name() + " " + topRight.name()));
        QVERIFY2(topLeft.red() > bottomLeft.red() + 50, qPrintable(topLeft.name() + " " + bottomLeft.name()));
    }

    void framesBeforeShowingAreNotAcknowledged()
    {
        OpenGLVideoWidget widget;
        QSignalSpy done(&widget, &OpenGLVideoWidget::renderDone);
        widget.onFrame(halvesFrame(64, 48)); // not initialised
        widget.resize(64, 48);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTRY_VERIFY(widget.isInitialized());
        widget.hide();
        widget.onFrame(halvesFrame(64, 48)); // hidden
        QCOMPARE(done.count(), 0);
        // Showing it again checks the driver's version again, which must still be read right:
        // a working driver is never reported as too old.
        bool warned = false;
        QTimer guard;
        connect(&guard, &QTimer::timeout, [&warned] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                warned = true;
                modal->close();
            }
        });
        guard.start(50);
        widget.doneCurrent(); // as after another widget drew: no context is current
        widget.show();
        widget.onFrame(halvesFrame(64, 48));
        QCOMPARE(done.count(), 1);
        QTest::qWait(300);
        QVERIFY(!warned);
    }

    void versionCheck_data()
    {
        QTest::addColumn<double>("version");
        QTest::addColumn<bool>("sufficient");
        QTest::addColumn<QString>("warning");
        const QString tail =
            QStringLiteral(". Please update the graphics card driver, otherwise the video screen will go "
                           "black!");
        QTest::newRow("minimum") << 3.3 << true << QString();
        QTest::newRow("newer") << 4.5 << true << QString();
        QTest::newRow("older") << 3.2 << false
                               << QStringLiteral("Current OpenGL version: 3.2, required version: 3.3") + tail;
        QTest::newRow("unreadable") << 1.0 << false
                                    << QStringLiteral("Current OpenGL version: 1.0, required version: 3.3") + tail;
    }

    void versionCheck()
    {
        QFETCH(double, version);
        QFETCH(bool, sufficient);
        QFETCH(QString, warning);
        QCOMPARE(OpenGLVideoWidget::glVersionSufficient(version), sufficient);
        if (!sufficient) {
            QCOMPARE(OpenGLVideoWidget::glVersionWarning(version), warning);
        }
    }

    // A display that stops acknowledging (here: hidden, so frames are dropped unacknowledged)
    // must not stop the stream: the acquisition thread sends on once a second.
    void hiddenDisplayStillGetsAFrameASecond()
    {
        const QString devices = m_dir.filePath("devices.json");
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(devices));
        const QJsonObject device{
            {"name", kDevice}, {"fps", 30}, {"capabilities", QJsonArray{virtualCapability(640, 480)}}};
        QVERIFY(writeVirtualDevices(devices, {device}));
        lmcam_api_init();
        auto camera = std::make_shared<UvcCamera>();
        QVERIFY(startVirtualCamera(*camera, kDevice, 640, 480, false));

        OpenGLVideoWidget widget;
        widget.resize(320, 240);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QTRY_VERIFY(widget.isInitialized());

        CameraPlayThread thread;
        thread.setRunning(true);
        thread.setCaptureCamera(camera);
        thread.applyCameraInfo(camera->cameraInfo());
        connect(&thread, &CameraPlayThread::putVideoFrame, &widget,
                [&widget](const VideoFrame &frame, int) { widget.onFrame(frame); });
        connect(&widget, &OpenGLVideoWidget::renderDone, &thread, &CameraPlayThread::onFrameRendered);
        QSignalSpy delivered(&thread, &CameraPlayThread::putVideoFrame);
        thread.start();

        // Shown: the display acknowledges and the stream runs at the camera's pace.
        QTRY_VERIFY_WITH_TIMEOUT(delivered.count() >= 10, 10000);
        // Hidden: nothing acknowledges, so the stream goes on at about one frame a second (what was
        // already on its way may still land).
        widget.hide();
        delivered.clear();
        QElapsedTimer hidden;
        hidden.start();
        QTRY_VERIFY_WITH_TIMEOUT(delivered.count() >= 3, 20000);
        const int whileHidden = delivered.count();
        QVERIFY2(whileHidden <= hidden.elapsed() / 1000 + 2,
                 qPrintable(QStringLiteral("%1 frames in %2 ms").arg(whileHidden).arg(hidden.elapsed())));

        thread.setRunning(false);
        thread.quit();
        thread.wait();
        lmcam_api_destroy();
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestOpenGLVideoWidget)
#include "tst_openglvideowidget.moc"
