#include "crashdumphandler.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

static void touch(const QString &path, const QDateTime &modified)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("dump");
    file.flush(); // a later flush would move the time again
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

class TestCrashDumpHandler : public QObject
{
    Q_OBJECT

private slots:
    void removesOnlyDumpsOlderThanAWeek()
    {
        QTemporaryDir dir;
        const QDateTime now = QDateTime::currentDateTime();
        touch(dir.filePath("justover.dmp"), now.addDays(-7).addSecs(-60));
        touch(dir.filePath("justunder.dmp"), now.addDays(-7).addSecs(60));
        QDir(dir.path()).mkdir("subfolder");

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Deleted old dump file: \"justover.dmp\"$"));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^QDateTime now = "));
        QCOMPARE(CrashDumpHandler::removeOldDumps(dir.path(), now), 1);

        QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        left.sort();
        QCOMPARE(left, QStringList({"justunder.dmp", "subfolder"}));
    }

    void missingFolderIsReportedNotCreated()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath("nowhere");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Dump path does not exist: \".*nowhere\"$"));
        QCOMPARE(CrashDumpHandler::removeOldDumps(missing, QDateTime::currentDateTime()), 0);
        QVERIFY(!QFileInfo::exists(missing));
    }

    void crashingChildLeavesADump_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("segmentationFault") << "segv"
                                           << "signal: 11 (SIGSEGV)";
        QTest::newRow("uncaughtException") << "throw"
                                           << "exception message: measurement table exploded";
    }

    void crashingChildLeavesADump()
    {
        QFETCH(QString, mode);
        QFETCH(QString, expected);

        QTemporaryDir dir;
        const QString dumps = dir.filePath("dump"); // created by the handler
        const QString log = dir.filePath("log/lumora.log");
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Under AddressSanitizer the sanitizer would claim the fault itself.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":handle_segv=0:handle_abort=0");
        child.setProcessEnvironment(env);
        child.start(QStringLiteral(LUMORA_BIN_DIR "/crashchild"), {mode, dumps, log});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QStringList files = QDir(dumps).entryList(QDir::Files);
        QCOMPARE(files.size(), 1);
        QVERIFY2(QRegularExpression("^[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}\\.dmp$")
                     .match(files.first())
                     .hasMatch(),
                 qPrintable(files.first()));

        QFile dump(QDir(dumps).filePath(files.first()));
        QVERIFY(dump.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(dump.readAll());
        QVERIFY2(text.contains(expected), qPrintable(text.left(400)));
        QVERIFY(text.contains("version: 5.4.5"));
        // The backtrace names the crashing program's frames.
        const int backtrace = text.indexOf("backtrace:\n");
        QVERIFY(backtrace > 0);
        QVERIFY(text.indexOf("crashchild", backtrace) > backtrace);

        QFile logFile(log);
        QVERIFY(logFile.open(QIODevice::ReadOnly));
        const QString logText = QString::fromUtf8(logFile.readAll());
        const QRegularExpressionMatch line =
            QRegularExpression("(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d): Debug: BreakpadQt crash\n").match(logText);
        QVERIFY2(line.hasMatch(), qPrintable(logText.right(300)));
        // Written without the usual time functions, so check it against the clock.
        const QDateTime stamp = QDateTime::fromString(line.captured(1), "yyyy-MM-dd hh:mm:ss");
        QVERIFY(qAbs(stamp.secsTo(QDateTime::currentDateTime())) < 120);
    }
};

QTEST_GUILESS_MAIN(TestCrashDumpHandler)
#include "tst_crashdumphandler.moc"
