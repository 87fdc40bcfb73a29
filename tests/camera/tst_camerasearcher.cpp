// Camera discovery: what a search reports and what the control panel makes of the results.
#include "../virtualdevices.h"
#include "cameradetection.h"
#include "camerasearcher.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <lmcam.h>

using SearchInfo = CameraSearcher::SearchInfo;
using SearchResult = CameraSearcher::SearchResult;

namespace {

int g_detectLines = 0;
void countDetectLines(QtMsgType, const QMessageLogContext &, const QString &text)
{
    if (text == QLatin1String("Detect new cameras"))
        ++g_detectLines;
}

SearchResult result(std::initializer_list<const char *> names)
{
    SearchResult map;
    int position = 1;
    for (const char *name : names) {
        SearchInfo info;
        info.uniqueName = QLatin1String(name);
        info.displayName = QStringLiteral("LmCam_%1 (USB 2.0)").arg(position++);
        info.model = QStringLiteral("283");
        info.usbSpeed = 1;
        map.insert(info.uniqueName, info);
    }
    return map;
}

const char *kA = "usb#vid_2bdf&pid_0283#0001#video";
const char *kB = "usb#vid_2bdf&pid_0201#cm01#video";

} // namespace

class TestCameraSearcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(m_dir.filePath("devices.json")));
        // No network camera answers on this port: searches hold the USB devices only.
        qputenv("LSDK_DISCOVERY_TARGETS", "127.0.0.1:9");
        lmcam_api_init();
    }

    void usbEntries_data()
    {
        QTest::addColumn<int>("busSpeed");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("usbSpeed");
        QTest::newRow("USB 1.0") << 0 << "(USB 1.0)" << 0;
        QTest::newRow("USB 1.1") << 1 << "(USB 1.1)" << 2;
        QTest::newRow("USB 2.0") << 2 << "(USB 2.0)" << 1;
        // A faster link has no label: the display name ends in the blank before it.
        QTest::newRow("USB 3.0") << 3 << "" << 3;
        QTest::newRow("unknown") << 7 << "" << 0;
    }

    void usbEntries()
    {
        QFETCH(int, busSpeed);
        QFETCH(QString, label);
        QFETCH(int, usbSpeed);
        writeDevices({QJsonObject{{"name", kB}, {"pid", "0201"}, {"bus_speed", 2}},
                      QJsonObject{{"name", kA}, {"pid", "0283"}, {"bus_speed", busSpeed}}});
        const SearchResult found = CameraSearcher::search();
        QCOMPARE(found.size(), 2);
        // Positions follow the enumeration; the map is ordered by name.
        const SearchInfo a = found.value(kA);
        QCOMPARE(a.type, UsbCamera);
        QCOMPARE(a.displayName, QStringLiteral("LmCam_2 ") + label);
        QCOMPARE(a.model, QStringLiteral("283"));
        QCOMPARE(a.usbSpeed, usbSpeed);
        QCOMPARE(found.value(kB).displayName, QStringLiteral("LmCam_1 (USB 2.0)"));
        QCOMPARE(found.value(kB).model, QStringLiteral("201"));
    }

    void searchOnItsThread()
    {
        writeDevices({QJsonObject{{"name", kA}, {"pid", "0283"}}});
        QThread thread;
        auto *searcher = new CameraSearcher;
        searcher->moveToThread(&thread);
        connect(&thread, &QThread::finished, searcher, &QObject::deleteLater);
        thread.start();
        // The result crosses to this thread queued, as it reaches the control panel.
        SearchResult received;
        connect(searcher, &CameraSearcher::sendSearchResult, this,
                [&received](SearchResult infos) { received = infos; });
        QMetaObject::invokeMethod(searcher, "onSearchCameras", Qt::QueuedConnection);
        QTRY_COMPARE(received.size(), 1);
        QCOMPARE(received.firstKey(), QString::fromLatin1(kA));
        writeDevices({});
        received = result({"placeholder"});
        QMetaObject::invokeMethod(searcher, "onSearchCameras", Qt::QueuedConnection);
        QTRY_VERIFY(received.isEmpty()); // an empty result is reported too
        thread.quit();
        QVERIFY(thread.wait(5000));
    }

    void windowsVersionCodes_data()
    {
        using S = CameraSearcher::SystemType;
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("build");
        QTest::addColumn<int>("code");
        QTest::newRow("unknown system") << int(S::Unknown) << 0 << 0 << 0 << 10;
        QTest::newRow("other system") << int(S::Other) << 6 << 1 << 0 << -1;
        QTest::newRow("XP") << int(S::Windows) << 5 << 1 << 2600 << 1;
        QTest::newRow("Vista") << int(S::Windows) << 6 << 0 << 6000 << 6;
        QTest::newRow("7") << int(S::Windows) << 6 << 1 << 7601 << 7;
        QTest::newRow("8") << int(S::Windows) << 6 << 2 << 9200 << 8;
        QTest::newRow("8.1") << int(S::Windows) << 6 << 3 << 9600 << 8;
        QTest::newRow("6.4") << int(S::Windows) << 6 << 4 << 0 << 1;
        QTest::newRow("10") << int(S::Windows) << 10 << 0 << 19045 << 10;
        QTest::newRow("11") << int(S::Windows) << 10 << 0 << 22000 << 11;
        QTest::newRow("later") << int(S::Windows) << 11 << 0 << 0 << 1;
    }

    void windowsVersionCodes()
    {
        QFETCH(int, type);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, build);
        QFETCH(int, code);
        QCOMPARE(CameraSearcher::windowsVersionCode(CameraSearcher::SystemType(type), major, minor, build), code);
    }

    void identicalResultsAreOneChange()
    {
        CameraDetection detection(CameraDetection::Config{});
        g_detectLines = 0;
        const QtMessageHandler previous = qInstallMessageHandler(countDetectLines);
        const bool first = detection.detect(result({kA, kB}), true, 10).changed;
        const bool second = detection.detect(result({kA, kB}), true, 10).changed;
        SearchResult renamed = result({kA, kB});
        renamed[kA].displayName = QStringLiteral("LmCam_3 (USB 2.0)");
        const bool third = detection.detect(renamed, true, 10).changed;
        qInstallMessageHandler(previous);
        QVERIFY(first);
        QVERIFY(!second);
        QVERIFY(third); // any field of an entry counts
        QCOMPARE(g_detectLines, 2);
        QCOMPARE(detection.cameras(), renamed);
    }

    void automaticOpening_data()
    {
        // Steps: a result (names) and what opens, or a session that closes.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("excluded");
        QTest::addColumn<QStringList>("opened");
        QTest::newRow("single camera opens") << QStringList{"A"} << "" << QStringList{"A"};
        QTest::newRow("two cameras wait for the operator") << QStringList{"A,B"} << "" << QStringList{""};
        QTest::newRow("excluded device stays closed") << QStringList{"A"} << "pid_0283" << QStringList{""};
        QTest::newRow("after the operator's close, not again")
            << QStringList{"A", "close:A:4", "", "A"} << "" << QStringList{"A", "", ""};
        QTest::newRow("a refused open is tried again when the camera is back")
            << QStringList{"A", "close:A:0", "", "A"} << "" << QStringList{"A", "", "A"};
        QTest::newRow("a lost camera is reopened when it is back")
            << QStringList{"A", "close:A:3", "", "A"} << "" << QStringList{"A", "", "A"};
        // The loss is noticed after the search that saw the camera back, or never showed in a list.
        QTest::newRow("a lost camera is reopened from an unchanged list")
            << QStringList{"A", "close:A:3", "A"} << "" << QStringList{"A", "A"};
        QTest::newRow("a refused reopen is tried again")
            << QStringList{"A", "close:A:3", "", "A", "close:A:0", "", "A"} << "" << QStringList{"A", "", "A", "", "A"};
        QTest::newRow("after the operator's close the lost camera stays closed")
            << QStringList{"A,B", "open:A", "close:A:3", "B", "open:B", "close:B:4", "A,B"} << "pid_0201"
            << QStringList{"", "", ""};
        // B is never opened by itself here, so the lost A is what reopens.
        QTest::newRow("a lost camera is reopened among others")
            << QStringList{"A,B", "open:A", "close:A:3", "B", "A,B"} << "pid_0201" << QStringList{"", "", "A"};
        QTest::newRow("the only other camera opens while the lost one is away")
            << QStringList{"A,B", "open:A", "close:A:3", "B"} << "" << QStringList{"", "B"};
        QTest::newRow("while a camera is open nothing opens") << QStringList{"open:A", "A"} << "" << QStringList{""};
        QTest::newRow("nothing found") << QStringList{""} << "" << QStringList{""};
    }

    void automaticOpening()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, excluded);
        QFETCH(QStringList, opened);
        const QMap<QString, const char *> names{{"A", kA}, {"B", kB}};
        CameraDetection detection(CameraDetection::Config{{}, excluded});
        bool open = false;
        QStringList got;
        for (const QString &step : steps) {
            if (step.startsWith("close:")) {
                const QStringList parts = step.split(':');
                detection.sessionClosed(QLatin1String(names.value(parts[1])), CameraCloseReason(parts[2].toInt()));
                open = false;
                continue;
            }
            if (step.startsWith("open:")) {
                open = true;
                continue;
            }
            SearchResult found;
            for (const QString &letter : step.split(',', Qt::SkipEmptyParts))
                found.insert(result({names.value(letter)}));
            const QString name = detection.detect(found, open, 10).openName;
            QString letter;
            for (auto it = names.begin(); it != names.end(); ++it) {
                if (name == QLatin1String(it.value()))
                    letter = it.key();
            }
            got << letter;
            open = open || !name.isEmpty();
        }
        QCOMPARE(got, opened);
    }

    void usb3ModelsToldOlderWindows_data()
    {
        QTest::addColumn<int>("busSpeed");
        QTest::addColumn<int>("windowsVersion");
        QTest::addColumn<bool>("told");
        QTest::newRow("USB 3 on Windows 7") << 3 << 7 << true;
        QTest::newRow("USB 3 on Windows 11") << 3 << 11 << false;
        QTest::newRow("USB 2 on Windows 7") << 2 << 7 << false;
    }

    void usb3ModelsToldOlderWindows()
    {
        QFETCH(int, busSpeed);
        QFETCH(int, windowsVersion);
        QFETCH(bool, told);
        writeDevices({QJsonObject{{"name", kA}, {"pid", "0283"}, {"bus_speed", busSpeed}},
                      QJsonObject{{"name", kB}, {"pid", "0201"}, {"bus_speed", busSpeed}}});
        CameraDetection detection(CameraDetection::Config{{"283"}, {}});
        const CameraDetection::Outcome outcome = detection.detect(CameraSearcher::search(), false, windowsVersion);
        // Only the listed model, and the device is closed again afterwards.
        QCOMPARE(outcome.toldSystem, told ? QStringList{kA} : QStringList{});
        lmcam_handle handle = 0;
        QCOMPARE(lmcam_open(kA, &handle), LMCAM_OK);
        lmcam_close(handle);
    }

    void discoveryConfiguration()
    {
        QTemporaryDir dir;
        const auto load = [&](const QByteArray &text) {
            QFile file(dir.filePath("camera.ini"));
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(text);
            file.close();
            return CameraDetection::loadConfig(file.fileName());
        };
        const CameraDetection::Config defaults = CameraDetection::defaultConfig();
        QCOMPARE(defaults.usb3ProductIds.size(), 6);

        // No file, or a file without the keys: the program's own lists.
        CameraDetection::Config config = CameraDetection::loadConfig(dir.filePath("absent.ini"));
        QCOMPARE(config.usb3ProductIds, defaults.usb3ProductIds);
        config = load("[Other]\nUsb3ProductIds=1\n");
        QCOMPARE(config.usb3ProductIds, defaults.usb3ProductIds);

        // Ids are compared with what searches write: trimmed, lower-case hexadecimal.
        config = load("[Discovery]\nUsb3ProductIds=283, 2A1 ,\nExcludedProductId=pid_0201\n");
        QCOMPARE(config.usb3ProductIds, (QStringList{"283", "2a1"}));
        QCOMPARE(config.excludedProductId, QStringLiteral("pid_0201"));
        config = load("[Discovery]\nUsb3ProductIds=2a1\n");
        QCOMPARE(config.usb3ProductIds, QStringList{"2a1"});
        // An empty list tells no model.
        config = load("[Discovery]\nUsb3ProductIds=\n");
        QVERIFY(config.usb3ProductIds.isEmpty());

        // The file shipped beside the program says what the program does without it.
        config = CameraDetection::loadConfig(CameraDetection::configPath());
        QVERIFY2(QFileInfo::exists(CameraDetection::configPath()), qPrintable(CameraDetection::configPath()));
        QCOMPARE(config.usb3ProductIds, defaults.usb3ProductIds);
        QCOMPARE(config.excludedProductId, defaults.excludedProductId);
    }

private:
    void writeDevices(const QJsonArray &devices)
    {
        QVERIFY(writeVirtualDevices(m_dir.filePath("devices.json"), devices));
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCameraSearcher)
#include "tst_camerasearcher.moc"
