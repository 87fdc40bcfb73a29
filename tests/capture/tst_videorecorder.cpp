#include "../videoprobe.h"
#include "codecsettings.h"
#include "frameconversion.h"
#include "videorecorder.h"

#include <QPainter>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::int64_t kFrameUs = 1000000 / 30;

// Picture `index` of a 30 fps stream: its colour and a bar at its own column tell it apart.
VideoFrame numberedFrame(int index, int width = kWidth, int height = kHeight)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(QColor::fromHsv(index * 7 % 360, 200, 200));
    QPainter(&image).fillRect(index % width, 0, 8, height, Qt::white);
    VideoFrame frame = videoFrameFromQImage(image);
    frame.setTimestampUs(index * kFrameUs);
    return frame;
}

CodecSettings testSettings()
{
    CodecSettings settings = CodecSettings::forPictureSize(kWidth, kHeight);
    settings.fps = 30;
    return settings;
}

// Presentation times in milliseconds of the file's video packets.
QList<int> packetTimesMs(const QString &path)
{
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("ffprobe"), {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                              "packet=pts_time", "-of", "csv=p=0", path});
    ffprobe.waitForFinished(60000);
    QList<int> times;
    for (const QByteArray &line : ffprobe.readAllStandardOutput().split('\n')) {
        if (!line.trimmed().isEmpty())
            times.append(qRound(line.toDouble() * 1000));
    }
    std::sort(times.begin(), times.end());
    return times;
}

bool startRecorder(VideoRecorder &recorder, const QString &path)
{
    recorder.setPath(path);
    if (!recorder.init(testSettings()))
        return false;
    recorder.start();
    return recorder.isStarted();
}

// Child mode: records until killed, and says "ready" once two fragments are in the file
// (the packet of the third key frame, frame 60, is written only after the fragment before it).
int recordUntilKilled(const QString &path)
{
    VideoRecorder recorder;
    if (!startRecorder(recorder, path))
        return 1;
    bool told = false;
    for (int i = 0;; ++i) {
        while (recorder.queuedFrames() > 4)
            QThread::usleep(500);
        recorder.onFrame(numberedFrame(i));
        if (!told && recorder.framesWritten() > 60) {
            std::puts("ready");
            std::fflush(stdout);
            told = true;
        }
    }
}

} // namespace

class TestVideoRecorder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Feeds pictures first .. first + count - 1, each once the encoder has room for it.
    void feed(VideoRecorder &recorder, int first, int count)
    {
        for (int i = first; i < first + count; ++i) {
            QTRY_VERIFY(recorder.queuedFrames() < 5);
            recorder.onFrame(numberedFrame(i));
        }
    }

private slots:
    void settingsFollowPictureSize_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("text");
        QTest::newRow("1920x1080") << 1920 << 1080
                                   << "Video Codec: width=1920, height=1080, fps=60, bit_rate=30000000, qp=27, "
                                      "qp_min=20, qp_max=40, crf=25, frame_drop=false, type=h264";
        QTest::newRow("2592x1944") << 2592 << 1944
                                   << "Video Codec: width=2592, height=1944, fps=60, bit_rate=120000000, qp=32, "
                                      "qp_min=20, qp_max=40, crf=28, frame_drop=false, type=h264";
    }
    void settingsFollowPictureSize()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, text);
        QCOMPARE(codecSettingsText(CodecSettings::forPictureSize(width, height)), text);
    }

    void recordsH264Mp4()
    {
        const QString path = m_dir.filePath("sub/plain.mp4");
        VideoRecorder recorder;
        QVERIFY(startRecorder(recorder, path));
        feed(recorder, 0, 45);
        recorder.onFrame(numberedFrame(45, kWidth / 2, kHeight / 2)); // another size: ignored
        feed(recorder, 45, 45);
        recorder.stop();
        QCOMPARE(recorder.framesWritten(), 90);
        QCOMPARE(recorder.framesDropped(), 0);
        const auto facts = probe(path);
        QCOMPARE(facts.value("codec_name"), QStringLiteral("h264"));
        QVERIFY2(facts.value("format_name").contains("mp4"), qPrintable(facts.value("format_name")));
        QCOMPARE(facts.value("nb_read_frames"), QStringLiteral("90"));
        QVERIFY2(qAbs(facts.value("duration").toDouble() - 3.0) < 0.05, qPrintable(facts.value("duration")));
    }

    void killedRecordingStaysReadable()
    {
        const QString path = m_dir.filePath("killed.mp4");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--record-until-killed", path});
        QVERIFY(child.waitForStarted());
        while (!child.canReadLine())
            QVERIFY2(child.waitForReadyRead(60000), "the recording child never got two fragments written");
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        const auto facts = probe(path);
        QCOMPARE(facts.value("codec_name"), QStringLiteral("h264"));
        QVERIFY2(facts.value("nb_read_frames").toInt() >= 60, qPrintable(facts.value("nb_read_frames")));
    }

    void burstKeepsNewestFrames()
    {
        const QString path = m_dir.filePath("burst.mp4");
        VideoRecorder recorder;
        // The space query runs in the worker before each packet is written: holding it there
        // keeps the encoder busy while a burst arrives.
        QSemaphore entered;
        QSemaphore release;
        std::atomic<bool> hold{true};
        recorder.setFreeSpaceQuery([&](const QString &) {
            if (hold && QThread::currentThread() != QCoreApplication::instance()->thread()) {
                entered.release();
                release.acquire();
            }
            return qint64(1) << 40;
        });
        QVERIFY(startRecorder(recorder, path));
        int next = 0;
        while (entered.available() == 0) {
            QVERIFY2(next < 300, "no packet ever reached the file");
            QTRY_VERIFY(recorder.queuedFrames() == 0 || entered.available() > 0);
            recorder.onFrame(numberedFrame(next++));
        }
        // The picture fed last may still be waiting: it is older than the burst.
        const int waiting = recorder.queuedFrames();
        const int firstDropped = next - waiting;
        for (int i = 0; i < 10; ++i)
            recorder.onFrame(numberedFrame(next++));
        QCOMPARE(recorder.framesDropped(), waiting + 4);
        hold = false;
        release.release();
        recorder.stop();
        QList<int> expected;
        for (int i = 0; i < next; ++i) {
            if (i < firstDropped || i >= firstDropped + waiting + 4)
                expected.append(int(i * kFrameUs / 1000));
        }
        QCOMPARE(packetTimesMs(path), expected);
    }

    void lackOfSpaceStopsRecording_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("at start") << true;
        QTest::newRow("while recording") << false;
    }
    void lackOfSpaceStopsRecording()
    {
        QFETCH(bool, atStart);
        const QString path = m_dir.filePath(QStringLiteral("full-%1.mp4").arg(atStart));
        std::atomic<qint64> free{atStart ? VideoRecorder::kReservedSpace - 1 : qint64(1) << 40};
        VideoRecorder recorder;
        recorder.setFreeSpaceQuery([&](const QString &) { return free.load(); });
        QSignalSpy lack(&recorder, &VideoRecorder::lackOfFreeSpace);
        recorder.setPath(path);
        QVERIFY(recorder.init(testSettings()));
        recorder.start();
        if (atStart) {
            QCOMPARE(lack.count(), 1);
            QVERIFY(!recorder.isStarted());
            QVERIFY(!QFile::exists(path));
        } else {
            feed(recorder, 0, 30);
            QTRY_VERIFY(recorder.framesWritten() > 0);
            free = 0;
            for (int i = 30; lack.isEmpty() && i < 300; ++i)
                feed(recorder, i, 1);
            recorder.stop();
            QCOMPARE(lack.count(), 1);
            QCOMPARE(probe(path).value("nb_read_frames").toInt(), recorder.framesWritten());
        }
        QVERIFY(!recorder.errorString().isEmpty());
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--record-until-killed") == 0)
        return recordUntilKilled(QString::fromLocal8Bit(argv[2]));
    TestVideoRecorder test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_videorecorder.moc"
