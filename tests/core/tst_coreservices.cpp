#include "buildinfo.h"
#include "memorycheck.h"

#include <QtTest>

static QByteArray meminfo(qint64 totalKb, qint64 availableKb)
{
    return QStringLiteral("MemTotal:       %1 kB\nMemFree:          1234 kB\nMemAvailable:   %2 kB\nBuffers: 1 kB\n")
        .arg(totalKb)
        .arg(availableKb)
        .toLatin1();
}

class TestCoreServices : public QObject
{
    Q_OBJECT

private slots:
    void memoryLoad_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("load");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("ninetyPercentAllowed") << meminfo(1000000, 100000) << 90 << true;
        QTest::newRow("ninetyOnePercentRefused") << meminfo(1000000, 90000) << 91 << false;
        QTest::newRow("justUnderNinetyOneRoundsDown") << meminfo(1000000, 90001) << 90 << true;
        QTest::newRow("noAvailableField") << QByteArray("MemTotal: 1000 kB\nMemFree: 10 kB\n") << -1 << false;
        QTest::newRow("garbage") << QByteArray("MemTotal: lots\n") << -1 << false;
        QTest::newRow("availableAboveTotal") << meminfo(1000, 2000) << -1 << false;
        QTest::newRow("empty") << QByteArray() << -1 << false;
    }

    void memoryLoad()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, load);
        QFETCH(bool, allowed);
        const int got = memoryLoadFromMeminfo(text);
        QCOMPARE(got, load);
        QCOMPARE(got >= 0 && got < kMaxMemoryLoadPercent, allowed);
    }

    void memoryCheckOnThisMachine()
    {
        // The build machine is far from full: the real reading must succeed and allow.
        QTest::ignoreMessage(QtDebugMsg, "64-bit application");
        QTest::ignoreMessage(QtDebugMsg, "64-bit application");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Memory in use \\(%\\): \\d+$"));
        QVERIFY(checkMemory());
    }

    void compilerDateTime_data()
    {
        QTest::addColumn<QByteArray>("date");
        QTest::addColumn<QByteArray>("time");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("oneDigitDay") << QByteArray("Dec  6 2026") << QByteArray("07:45:38")
                                     << QDateTime(QDate(2026, 12, 6), QTime(7, 45, 38));
        QTest::newRow("twoDigitDay") << QByteArray("Feb 28 2025") << QByteArray("23:59:59")
                                     << QDateTime(QDate(2025, 2, 28), QTime(23, 59, 59));
    }

    void compilerDateTime()
    {
        QFETCH(QByteArray, date);
        QFETCH(QByteArray, time);
        QFETCH(QDateTime, expected);
        QCOMPARE(parseCompilerDateTime(date.constData(), time.constData()), expected);
        QVERIFY(buildDateTime().isValid());
    }
};

QTEST_GUILESS_MAIN(TestCoreServices)
#include "tst_coreservices.moc"
