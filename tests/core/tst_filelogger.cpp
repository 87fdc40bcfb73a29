#include "filelogger.h"
#include "librarylogs.h"

#include <l_sdk.h>
#include <lmcam.h>

extern "C" {
#include <libavutil/log.h>
}

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

// One FileLogger serves the whole process, so the cases share it and each starts on a
// log file of its own.
class TestFileLogger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void cleanupTestCase() { FileLogger::instance().shutdown(); }

    void createsFolderAndWritesLevelLines()
    {
        reopen("deep/log/folder/lumora.log");
        qDebug() << "a debug line";
        qInfo() << "an info line";
        qWarning() << "a warning line";
        qCritical() << "a critical line";
        qDebug().noquote() << QString::fromUtf8("相机 µm");

        const QStringList got = lines();
        QCOMPARE(got.size(), 5);
        const QRegularExpression stamp("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d: ");
        const QStringList expected = {"Debug: a debug line", "Info: an info line", "Warning: a warning line",
                                      "Critical: a critical line", QString::fromUtf8("Debug: 相机 µm")};
        for (int i = 0; i < got.size(); ++i) {
            QVERIFY2(stamp.match(got[i]).hasMatch(), qPrintable(got[i]));
            QCOMPARE(got[i].mid(21), expected[i]);
        }
    }

    void appendsToExistingLog()
    {
        m_path = m_dir.filePath("append.log");
        QFile seed(m_path);
        QVERIFY(seed.open(QIODevice::WriteOnly));
        seed.write("earlier run\n");
        seed.close();

        reopen("append.log");
        qDebug() << "this run";
        const QStringList got = lines();
        QCOMPARE(got.size(), 2);
        QCOMPARE(got[0], QString("earlier run"));
        QVERIFY(got[1].endsWith("Debug: this run"));
    }

    void rotationStartsAnEmptyFileWithTheTriggeringLine()
    {
        QCOMPARE(FileLogger::kRotationLimit, qint64(20000000)); // the limit the README states
        reopen("rotate.log", 1000);
        // Lines of 100 characters (the newline not counted): ten of them reach the limit without
        // passing it, the eleventh carries the count past it, and the twelfth starts a new file.
        const QString block(100 - 28, QLatin1Char('x'));
        for (int i = 0; i < 11; ++i)
            qDebug().noquote() << block;
        QCOMPARE(lines().size(), 11);

        qDebug() << "first line of the new file";
        qDebug() << "second line";
        const QStringList got = lines();
        QCOMPARE(got.size(), 2);
        QVERIFY(got[0].endsWith("Debug: first line of the new file"));
        QVERIFY(got[1].endsWith("Debug: second line"));
    }

    void linesFromManyThreadsStayWhole()
    {
        reopen("threads.log");
        constexpr int kThreads = 8;
        constexpr int kLines = 400;
        QList<QThread *> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads << QThread::create([t]() {
                for (int i = 0; i < kLines; ++i)
                    qDebug("thread %d line %d %s", t, i, "payload-payload-payload-payload");
            });
            threads.last()->start();
        }
        for (QThread *thread : threads) {
            QVERIFY(thread->wait(60000));
            delete thread;
        }

        const QStringList got = lines();
        QCOMPARE(got.size(), kThreads * kLines);
        const QRegularExpression whole("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d: Debug: thread (\\d) line (\\d+) "
                                       "payload-payload-payload-payload$");
        QSet<QString> seen;
        for (const QString &line : got) {
            const QRegularExpressionMatch m = whole.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(line));
            seen.insert(m.captured(1) + '/' + m.captured(2));
        }
        QCOMPARE(seen.size(), kThreads * kLines);
    }

    void libraryMessagesAreRouted()
    {
        reopen("libraries.log");
        LibraryLogs::installCodecLogHook();
        LibraryLogs::installUsbSdkLogHook();
        LibraryLogs::installNetSdkLogHook();

        av_log(nullptr, AV_LOG_INFO, "encoder %s ready\n", "x264");
        av_log(nullptr, AV_LOG_WARNING, "queue %d full\n", 3);
        av_log(nullptr, AV_LOG_DEBUG, "too chatty to keep\n");
        lmcam_api_init();
        lmcam_api_destroy();
        qputenv("LSDK_DISCOVERY_TARGETS", "camera.local:1");
        QCOMPARE(l_sdk_init(""), L_SDK_OK);
        QCOMPARE(l_sdk_discover_open(""), L_SDK_OK);
        l_sdk_quit();

        const QStringList got = lines();
        QVERIFY(got.size() >= 3);
        QVERIFY2(got[0].endsWith("Debug: FFmpeg: encoder x264 ready"), qPrintable(got[0]));
        QVERIFY2(got[1].endsWith("Debug: FFmpeg: queue 3 full"), qPrintable(got[1]));
        for (const QString &line : got)
            QVERIFY2(!line.contains("too chatty"), qPrintable(line));
        QVERIFY2(got[2].contains("Debug: UVC SDK: "), qPrintable(got[2]));
        QVERIFY2(
            got.last().endsWith("Debug: Net SDK: LSDK_DISCOVERY_TARGETS: ignoring \"camera.local:1\" (expected IPv4 "
                                "address:port)"),
            qPrintable(got.last()));
    }

private:
    QStringList lines() const
    {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList result = QString::fromUtf8(file.readAll()).split('\n');
        if (!result.isEmpty() && result.last().isEmpty())
            result.removeLast();
        return result;
    }

    void reopen(const QString &relativePath, qint64 rotationLimit = FileLogger::kRotationLimit)
    {
        m_path = m_dir.filePath(relativePath);
        QVERIFY(FileLogger::instance().init(m_path, rotationLimit));
    }

    QTemporaryDir m_dir;
    QString m_path;
};

QTEST_GUILESS_MAIN(TestFileLogger)
#include "tst_filelogger.moc"
