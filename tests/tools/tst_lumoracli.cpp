// lumora-cli run as a process against virtual USB devices described in a devices file.
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include "../capture/slidelabel.h"
#include "../tiffpicture.h"
#include "../videoprobe.h"
#include "../virtualdevices.h"
#include "simprocess.h"
#include "virtualscope/framestamp.h"

namespace {

const char *kNetAddress = "127.0.0.4";
const char *kDevice = "usb#vid_2bdf&pid_0283#0001#video";

// A device entry: small picture unless told, 30 fps, no drift.
QJsonObject device(const QString &name, QJsonObject extra = {})
{
    QJsonObject entry{{"name", name},
                      {"pid", name.mid(name.indexOf("pid_") + 4, 4)},
                      {"model_suffix", "B2"},
                      {"fps", 30},
                      {"capabilities", QJsonArray{virtualCapability(640, 480), virtualCapability(320, 240)}}};
    for (auto it = extra.begin(); it != extra.end(); ++it)
        entry[it.key()] = it.value();
    return entry;
}

// A configuration-scheme file holding one model's schemes.
QJsonObject schemeFile(const QString &model, const QJsonObject &schemes)
{
    return QJsonObject{{"AllCamear", QJsonObject{{model, schemes}}}};
}

const QJsonObject kDayScheme{{"Day", QJsonObject{{"Hue", 5}, {"ExposureTime", 100}}}};

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class TestLumoraCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.path())); // a parameter database of this run's own
        m_devicesPath = m_dir.filePath("devices.json");
        QVERIFY(QFile::exists(LUMORA_BIN_DIR "/lumora-cli"));
        m_discoveryPort = SimProcess::freeUdpPort(kNetAddress);
        QVERIFY(m_discoveryPort != 0);
        m_discoveryTarget = QStringLiteral("%1:%2").arg(kNetAddress).arg(m_discoveryPort);
    }

    void list_data()
    {
        QTest::addColumn<QJsonArray>("devices");
        QTest::addColumn<QStringList>("lines");

        QTest::newRow("noDevices") << QJsonArray{} << QStringList{};
        // Sorted by unique name; the position in the display name is the enumeration's.
        QTest::newRow("sortedByNameSpeedsConverted")
            << QJsonArray{device("usb#vid_2bdf&pid_0283#zz#video", {{"bus_speed", 3}}),
                          device("usb#vid_2bdf&pid_0a10#aa#video", {{"bus_speed", 0}}),
                          device("usb#vid_2bdf&pid_0283#mm#video", {{"bus_speed", 1}})}
            << QStringList{"usb#vid_2bdf&pid_0283#mm#video\tLmCam_3 (USB 1.1)\t283\t2",
                           "usb#vid_2bdf&pid_0283#zz#video\tLmCam_1 \t283\t3",
                           "usb#vid_2bdf&pid_0a10#aa#video\tLmCam_2 (USB 1.0)\ta10\t0"};
    }

    void list()
    {
        QFETCH(QJsonArray, devices);
        QFETCH(QStringList, lines);
        QVERIFY(writeVirtualDevices(m_devicesPath, devices));
        const Run r = run({"list"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out.split('\n', Qt::SkipEmptyParts), lines);
    }

    void info()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const Run r = run({"info", "--camera", kDevice});
        QCOMPARE(r.exitCode, 0);
        QJsonParseError error;
        const QJsonObject info = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(info["productId"].toString(), QString("283"));
        QCOMPARE(info["modelSuffix"].toString(), QString("B2"));
        QCOMPARE(info["versionText"].toString(), QString("1.4.2"));
        QCOMPARE(info["formats"].toArray(), QJsonArray{"MJPEG"});
        QCOMPARE(info["resolutions"].toObject()["MJPEG"].toArray(), (QJsonArray{"320x240", "640x480"}));
        const QJsonObject hue = info["hue"].toObject();
        QVERIFY(hue["supported"].toBool());
        QVERIFY(hue["min"].toInt() <= hue["value"].toInt() && hue["value"].toInt() <= hue["max"].toInt());
        QVERIFY(info["expMode"].toString() == "auto" || info["expMode"].toString() == "manual");
    }

    void grab_data()
    {
        QTest::addColumn<QJsonObject>("entry");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");

        QTest::newRow("pngAtRequestedSize")
            << device(kDevice) << QStringList{"--resolution", "320x240"} << "a.png" << QSize(320, 240);
        QTest::newRow("largestWithoutResolution") << device(kDevice) << QStringList{} << "b.jpg" << QSize(640, 480);
        QTest::newRow("roiThenRotate") << device(kDevice) << QStringList{"--roi", "10,20,200,100", "--rotate", "270"}
                                       << "d.tiff" << QSize(96, 200);
    }

    void grab()
    {
        QFETCH(QJsonObject, entry);
        QFETCH(QStringList, options);
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QVERIFY(writeVirtualDevices(m_devicesPath, {entry}));
        const QString path = m_dir.filePath(file);
        const Run r = run(QStringList{"grab", "--camera", kDevice, "--frames", "2", "--out", path} + options);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY(r.out.contains("resolution: "));
        QVERIFY2(r.out.contains(QString("saved: %1 (%2x%3)\n").arg(path).arg(size.width()).arg(size.height())),
                 qPrintable(r.out));
        QVERIFY(r.out.contains("format: MJPEG\n"));
        const QImage image(path);
        if (file.endsWith(".tiff") && image.isNull()) {
            // Without Qt's TIFF reader, at least the container must be TIFF.
            QFile tiff(path);
            QVERIFY(tiff.open(QIODevice::ReadOnly));
            const QByteArray head = tiff.read(4);
            QVERIFY(head == QByteArray("II*\0", 4) || head == QByteArray("MM\0*", 4));
            return;
        }
        QCOMPARE(image.size(), size);
    }

    // The frame number a virtual camera can draw into its picture survives the frame path and
    // JPEG: the last of 5 frames grabbed is a number 4 or above (a late read skips frames).
    void frameStampSurvivesTheFramePath()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice, {{"frame_stamp", true}})}));
        const QString path = m_dir.filePath("stamped.jpg");
        const Run r = run({"grab", "--camera", kDevice, "--frames", "5", "--out", path});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QImage image = QImage(path).convertToFormat(QImage::Format_Grayscale8);
        const std::optional<uint32_t> number =
            virtualscope::framestamp::read(image.width(), [&](int x, int y) { return int(image.constScanLine(y)[x]); });
        QVERIFY(number.has_value());
        QVERIFY2(*number >= 4 && *number < 1000, qPrintable(QString::number(*number)));
    }

    // A stamped camera recorded for 3 s: each frame in the file is one the camera sent, in order;
    // those missing between them are exactly the ones the totals count as dropped by the encoder
    // or missed by the camera; the video's time follows the camera's frame clock.
    void recordKeepsTheCameraFrames()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice, {{"frame_stamp", true}})}));
        const QString path = m_dir.filePath("videos/stamped.mp4"); // the folder does not exist yet
        const Run r = run({"record", "--camera", kDevice, "--resolution", "320x240", "--seconds", "3", "--out", path});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QRegularExpressionMatch totals =
            QRegularExpression("recorded: .* \\(([\\d.]+) s, (\\d+) frames written, (\\d+) dropped, (\\d+) missed by")
                .match(r.out);
        QVERIFY2(totals.hasMatch(), qPrintable(r.out));
        const int written = totals.captured(2).toInt();
        const int lost = totals.captured(3).toInt() + totals.captured(4).toInt();
        const auto facts = probe(path);
        QCOMPARE(facts.value("width"), QString("320"));
        QCOMPARE(facts.value("height"), QString("240"));
        QCOMPARE(facts.value("nb_read_frames").toInt(), written);

        QProcess ffmpeg;
        ffmpeg.start("ffmpeg", {"-v", "error", "-i", path, "-fps_mode", "passthrough", "-f", "rawvideo", "-pix_fmt",
                                "gray", "-"});
        QVERIFY(ffmpeg.waitForFinished(60000));
        const QByteArray pictures = ffmpeg.readAllStandardOutput();
        QCOMPARE(pictures.size(), written * 320 * 240);
        QVector<uint32_t> stamps;
        for (int i = 0; i < written; ++i) {
            const auto *luma = reinterpret_cast<const uchar *>(pictures.constData()) + i * 320 * 240;
            const auto number = virtualscope::framestamp::read(320, [&](int x, int y) { return luma[y * 320 + x]; });
            QVERIFY2(number && (stamps.isEmpty() || *number > stamps.last()), qPrintable(QString::number(i)));
            stamps << *number;
        }
        const int span = int(stamps.last() - stamps.first()) + 1;
        QCOMPARE(span - written, lost);
        QVERIFY2(span >= 80 && span <= 91 && written >= span / 2, qPrintable(QString::number(span)));
        QVERIFY2(qAbs(facts.value("duration").toDouble() - span / 30.0) < 0.1, qPrintable(facts.value("duration")));
    }

    // A recording killed at 5 s leaves a playable file of at least 4 s.
    void killedRecordStaysReadable()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice, {{"fps", 60}})}));
        const QString path = m_dir.filePath("killed.mp4");
        QProcess process;
        start(process, {"record", "--camera", kDevice, "--resolution", "320x240", "--seconds", "30", "--out", path});
        const QRegularExpression fiveSeconds("^recording: ([5-9]|\\d\\d+) s");
        for (bool reached = false; !reached;) {
            QVERIFY2(process.canReadLine() || process.waitForReadyRead(30000), "no progress line");
            reached = fiveSeconds.match(QString::fromUtf8(process.readLine())).hasMatch();
        }
        process.kill();
        QVERIFY(process.waitForFinished());
        const double duration = probe(path).value("duration").toDouble();
        QVERIFY2(duration >= 4.0, qPrintable(QString::number(duration)));
    }

    // No file may grow beyond 64 KiB: the recording stops with its own status and what was
    // written stays readable.
    void recordToAFullVolume()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const QString path = m_dir.filePath("full.mp4");
        const Run r =
            run({"record", "--camera", kDevice, "--seconds", "60", "--out", path}, "trap '' XFSZ; ulimit -f 128");
        QCOMPARE(r.exitCode, 13);
        QVERIFY2(r.err.contains("the disk is full"), qPrintable(r.err));
        QVERIFY(probe(path).value("nb_read_frames").toInt() > 0);
    }

    // snap names pictures in a folder by the program's settings (by default the next index,
    // four digits, JPEG), or writes one file in the format of its suffix.
    void snap_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("saved"); // or the error's start

        QTest::newRow("folderNextIndex") << QStringList{} << QStringList{"0004.jpg", "0009.png"} << 0
                                         << QStringList{"0005.jpg"};
        QTest::newRow("fileTiff") << QStringList{"one.tiff"} << QStringList{} << 0 << QStringList{"one.tiff"};
        QTest::newRow("countTwoInterval1") << QStringList{"--count", "2", "--interval", "1"} << QStringList{} << 0
                                           << QStringList{"0001.jpg", "0002.jpg"};
        QTest::newRow("countWithoutInterval")
            << QStringList{"--count", "2"} << QStringList{} << 2 << QStringList{"--count and --interval go together"};
        QTest::newRow("countIntoFile") << QStringList{"one.png", "--count", "2", "--interval", "1"} << QStringList{}
                                       << 2 << QStringList{"--out FILE takes a single picture"};
    }
    void snap()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, existing);
        QFETCH(int, exitCode);
        QFETCH(QStringList, saved);
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const QDir folder(m_dir.filePath(QString("snap-") + QTest::currentDataTag()));
        QVERIFY(folder.mkpath("."));
        for (const QString &name : existing) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        // A picture name as the first option is the file to write; otherwise the folder.
        QString out = folder.path();
        if (!options.isEmpty() && options.first().contains('.'))
            out = folder.filePath(options.takeFirst());
        const Run r = run(QStringList{"snap", "--camera", kDevice, "--resolution", "320x240", "--out", out} + options);
        QCOMPARE(r.exitCode, exitCode);
        if (exitCode != 0) {
            QVERIFY2(r.err.startsWith("lumora-cli: " + saved.first()), qPrintable(r.err));
            return;
        }
        for (const QString &name : saved) {
            QVERIFY2(r.out.contains(QString("saved: %1 (320x240)\n").arg(folder.filePath(name))), qPrintable(r.out));
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray head = file.read(4);
            QVERIFY(name.endsWith(".jpg") ? head.startsWith("\xff\xd8")
                                          : head == QByteArray("II*\0", 4) || head == QByteArray("MM\0*", 4));
        }
        QCOMPARE(folder.entryList(QDir::Files).size(), existing.size() + saved.size());
    }

    void setReachesCameraSlot()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const QJsonObject info = QJsonDocument::fromJson(run({"info", "--camera", kDevice}).out.toUtf8()).object();
        const QJsonObject time = info["expTime"].toObject();
        const int wanted = (time["min"].toInt() + time["max"].toInt()) / 2;
        const Run r =
            run({"grab", "--verbose", "--camera", kDevice, "--set", "exposure_mode=manual", "--set",
                 QString("exposure_time=%1").arg(wanted), "--set", "mirror=on", "--out", m_dir.filePath("set.png")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.err.contains(QString("onSetExpTime: %1").arg(wanted)), qPrintable(r.err));
        QVERIFY(r.err.contains("onSetMirrorStatus: 1"));
    }

    // `set` checks every setting before it applies the first: a refused one leaves the camera and
    // its row as they were, which `get` in the next run shows. The refusals' exposure_mode=auto
    // would undo the applied row's manual; opening applies the row's values through the slots.
    void setThenGet_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QJsonObject>("values");

        QTest::newRow("applied") << QStringList{"exposure_mode=manual", "exposure_time=20", "gamma=8"} << 0 << ""
                                 << QJsonObject{{"exposure_mode", "manual"}, {"exposure_time", 20}, {"gamma", 8}};
        QTest::newRow("unknownParameter") << QStringList{"exposure_mode=auto", "shutter=3"} << 2
                                          << "unknown camera parameter \"shutter\"" << QJsonObject{};
        QTest::newRow("outsideRange") << QStringList{"exposure_mode=auto", "hue=100000"} << 2
                                      << "hue=100000: outside the camera's range" << QJsonObject{};
        QTest::newRow("unsupported") << QStringList{"exposure_mode=auto", "focus_value=10"} << 2
                                     << "focus_value=10: the camera does not support focus_value" << QJsonObject{};
    }

    void setThenGet()
    {
        QFETCH(QStringList, settings);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QJsonObject, values);
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const auto get = [this] {
            return QJsonDocument::fromJson(run({"get", "--camera", kDevice}).out.toUtf8()).object();
        };
        const QJsonObject before = get();
        QVERIFY(before["hue"].toObject()["supported"].toBool());
        const Run r = run(QStringList{"set", "--verbose", "--camera", kDevice} + settings);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        // The camera itself, not only its row, is left alone.
        QVERIFY2(exitCode == 0 || !r.err.contains("onSetExpMode: 1"), qPrintable(r.err));
        const QJsonObject after = get();
        if (values.isEmpty())
            QCOMPARE(after, before);
        for (auto it = values.begin(); it != values.end(); ++it)
            QCOMPARE(after[it.key()].toObject()["value"], it.value());
    }

    // Every parameter the model has, set in one run, is what the next run reads: from the row
    // where the program keeps it, from the camera where the camera does.
    void everyParameterSurvivesTheRun()
    {
        const QString camera = "usb#vid_2bdf&pid_0205#cm05#video"; // focus motor, zoom, ring light
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(camera, {{"bus_speed", 3}})}));
        const auto get = [&] {
            return QJsonDocument::fromJson(run({"get", "--camera", camera}).out.toUtf8()).object();
        };
        // Left out: what moves with another parameter (compensation only while automatic,
        // temperature with the gains, digital zoom on the zoom's own axis, monochrome is
        // saturation 0), and what only the program does to the picture.
        const QStringList entangled{"exposure_comp", "wb_temperature", "digital_zoom", "monochrome"};
        QStringList settings{"exposure_mode=manual", "wb_mode=manual", "focus_mode=manual"};
        QJsonObject expected{{"exposure_mode", "manual"}, {"wb_mode", "manual"}, {"focus_mode", "manual"}};
        const QJsonObject before = get();
        for (auto it = before.begin(); it != before.end(); ++it) {
            const QJsonObject p = it.value().toObject();
            if (entangled.contains(it.key()) || expected.contains(it.key()) || !p.contains("value") ||
                (p.contains("supported") && !p["supported"].toBool()))
                continue;
            const QJsonValue value = p["value"];
            QJsonValue next;
            if (value.isBool())
                next = !value.toBool();
            else if (value.isString())
                continue; // the automatic modes above are the model's only choices
            else if (p.contains("max"))
                next = value.toInt() < p["max"].toInt() ? value.toInt() + 1 : value.toInt() - 1;
            else
                next = value.toInt() > 1 ? value.toInt() - 1 : value.toInt() + 1;
            settings << QStringLiteral("%1=%2").arg(it.key(), next.isBool() ? QString::number(next.toBool())
                                                                            : QString::number(next.toInt()));
            expected[it.key()] = next;
        }
        QVERIFY2(settings.size() > 25, qPrintable(settings.join(' ')));
        const Run r = run(QStringList{"set", "--camera", camera} + settings);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QJsonObject after = get();
        for (auto it = expected.begin(); it != expected.end(); ++it)
            QCOMPARE(std::make_pair(it.key(), after[it.key()].toObject()["value"].toVariant()),
                     std::make_pair(it.key(), it->toVariant()));
    }

    // Schemes exported from this data folder and imported into another one. Import checks the
    // whole file first: a refused one leaves the other folder's schemes as they were.
    void schemeExportImport_data()
    {
        QTest::addColumn<QJsonObject>("file"); // imported instead of the export, when given
        QTest::addColumn<QJsonObject>("before");
        QTest::addColumn<bool>("overwrite");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QJsonObject>("after");

        const QJsonObject stored = schemeFile("cm26", QJsonObject{{"Day", QJsonObject{{"Hue", 1}}}});
        QTest::newRow("roundTrip") << QJsonObject{} << QJsonObject{} << false << 0 << "imported: Day (model cm26)"
                                   << schemeFile("cm26", kDayScheme);
        QTest::newRow("otherModelOnly")
            << schemeFile("cm13", kDayScheme) << stored << false << 10
            << "does not contain settings for the current camera: 'cm26'. Importing is not allowed." << stored;
        QTest::newRow("existingName") << QJsonObject{} << stored << false << 11
                                      << "model cm26 has configuration schemes of these names already: Day" << stored;
        QTest::newRow("existingOverwritten")
            << QJsonObject{} << stored << true << 0 << "imported: Day" << schemeFile("cm26", kDayScheme);
    }

    void schemeExportImport()
    {
        QFETCH(QJsonObject, file);
        QFETCH(QJsonObject, before);
        QFETCH(bool, overwrite);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QJsonObject, after);
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const auto writeJson = [](const QString &path, const QJsonObject &json) {
            QDir().mkpath(QFileInfo(path).path());
            QFile out(path);
            return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(QJsonDocument(json).toJson()) > 0;
        };
        const auto readJson = [](const QString &path) {
            QFile in(path);
            return in.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(in.readAll()).object() : QJsonObject();
        };
        QVERIFY(writeJson(m_dir.filePath("lumora/ConfigurationScheme.json"), schemeFile("cm26", kDayScheme)));
        const QString exported = m_dir.filePath("schemes.json");
        const Run exportRun = run({"scheme", "export", "--camera", kDevice, exported});
        QVERIFY2(exportRun.exitCode == 0, qPrintable(exportRun.err));

        const QString other = m_dir.filePath(QString("other_") + QTest::currentDataTag());
        const QString target = other + "/lumora/ConfigurationScheme.json";
        QVERIFY(before.isEmpty() || writeJson(target, before));
        QString imported = exported;
        if (!file.isEmpty()) {
            imported = m_dir.filePath("crafted.json");
            QVERIFY(writeJson(imported, file));
        }
        QStringList arguments{"scheme", "import", "--camera", kDevice, imported};
        if (overwrite)
            arguments.insert(2, "--overwrite");
        const Run r = run(arguments, QString("XDG_DATA_HOME='%1'; export XDG_DATA_HOME").arg(other));
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? r.out : r.err).contains(message), qPrintable(r.out + r.err));
        QCOMPARE(readJson(target), after);
    }

    void modelsTable()
    {
        const Run r = run({"models"});
        QCOMPARE(r.exitCode, 0);
        // The model list as the camera library gives it; its fields are the camera model test's.
        const QJsonArray models = QJsonDocument::fromJson(r.out.toUtf8()).array();
        QCOMPARE(models.size(), 54);
        QCOMPARE(models.first().toObject().keys(),
                 (QStringList{"baseClass", "class", "firmwareKey", "fps", "modelKey", "productId", "resolution"}));
    }

    // The camera is opened as its model's class; its row in the parameter database starts with
    // that model's defaults and keeps what --set changed.
    void modelClassAndParameterRow()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const Run info = run({"info", "--camera", kDevice});
        QCOMPARE(info.exitCode, 0);
        QCOMPARE(QJsonDocument::fromJson(info.out.toUtf8()).object()["modelClass"].toString(), QString("Cm26Camera"));

        const Run grab = run({"grab", "--camera", kDevice, "--resolution", "320x240", "--set", "hue=20", "--out",
                              m_dir.filePath("row.png")});
        QVERIFY2(grab.exitCode == 0, qPrintable(grab.err));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "row");
            db.setDatabaseName(qEnvironmentVariable("XDG_DATA_HOME") + "/lumora/setting.db");
            QVERIFY(db.open());
            QSqlQuery query(db);
            // The device's key: its whole unique name.
            QVERIFY(query.prepare("SELECT pid, whiteBalanceR, resolution, fps, hueValue FROM camera WHERE pid = ?"));
            query.addBindValue(QString(kDevice));
            QVERIFY(query.exec());
            QVERIFY(query.next());
            QCOMPARE(query.value(1).toInt(), 532); // the model's own white balance
            QCOMPARE(query.value(2).toString(), QString("5440x3648"));
            QCOMPARE(query.value(3).toInt(), 20);
            QCOMPARE(query.value(4).toInt(), 20);
            QVERIFY(!query.next());
        }
        QSqlDatabase::removeDatabase("row");

        // A product id no model has.
        QVERIFY(writeVirtualDevices(m_devicesPath, {device("usb#vid_2bdf&pid_0a10#aa#video")}));
        const Run unknown = run({"info", "--camera", "usb#vid_2bdf&pid_0a10#aa#video"});
        QCOMPARE(unknown.exitCode, 8);
        QVERIFY2(unknown.err.contains("Unsupported camera model, open failed!"), qPrintable(unknown.err));
    }

    // The live view's window after some frames: the negative inverts the plain picture, the
    // watermark marks its top-left corner only.
    void viewShowsTheCorrections()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const auto view = [this](const QString &name, const QStringList &extra) {
            const QString path = m_dir.filePath(name);
            const Run r = run(QStringList{"view", "--camera", kDevice, "--frames", "5", "--screenshot", path} + extra);
            if (r.exitCode != 0 || !r.out.contains("shown: 5 frames\n")) { // no more than asked for
                qWarning() << r.exitCode << r.out << r.err;
                return QImage();
            }
            return QImage(path).convertToFormat(QImage::Format_RGB888);
        };
        const QImage plain = view("plain.png", {});
        const QImage negative = view("negative.png", {"--negative"});
        const QImage marked = view("marked.png", {"--watermark", "WATERMARK"});
        QVERIFY(!plain.isNull() && !negative.isNull() && !marked.isNull());
        QCOMPARE(plain.size(), QSize(1280, 720));
        QCOMPARE(negative.size(), plain.size());

        const auto channelMean = [](const QImage &image, const QRect &rect, int (*channel)(QRgb)) {
            qint64 sum = 0;
            for (int y = rect.top(); y <= rect.bottom(); ++y)
                for (int x = rect.left(); x <= rect.right(); ++x)
                    sum += channel(image.pixel(x, y));
            return int(sum / (qint64(rect.width()) * rect.height()));
        };
        const auto mean = [&](const QImage &image, const QRect &rect) {
            return channelMean(image, rect, [](QRgb rgb) { return qGray(rgb); });
        };
        // 640 x 480 fitted into 1280 x 720: 960 x 720 in the middle, black bars beside it.
        const QRect whole(170, 0, 940, 720);
        QVERIFY2(std::abs(mean(plain, whole) + mean(negative, whole) - 255) < 20,
                 qPrintable(QString("%1 %2").arg(mean(plain, whole)).arg(mean(negative, whole))));
        // The virtual specimen holds still, so only the text differs.
        const QRect corner(160, 0, 400, 80);
        const QRect rest(160, 200, 960, 520);
        // In colour: the camera's stored white balance may tint the field towards the text's grey.
        int text = 0;
        using Channel = int (*)(QRgb);
        for (const Channel channel : std::initializer_list<Channel>{qRed, qGreen, qBlue})
            text += std::abs(channelMean(marked, corner, channel) - channelMean(plain, corner, channel));
        QVERIFY2(text > 3, qPrintable(QString::number(text)));
        QVERIFY(std::abs(mean(marked, rest) - mean(plain, rest)) <= 1);
    }

    // A simulated 1080p30 network camera: listed by its address and model, and streamed at its rate.
    void networkCameraListedAndGrabbed()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {}));
        SimProcess sim(NETCAM_SIM_PROGRAM);
        QVERIFY2(sim.start(kNetAddress, "CM14_IPC", {}, m_discoveryPort), qPrintable(sim.error()));
        const Run list = run({"list"});
        QCOMPARE(list.exitCode, 0);
        QCOMPARE(list.out.split('\n', Qt::SkipEmptyParts),
                 QStringList{QString(kNetAddress) + "\t" + kNetAddress + "\tCM14_IPC\t0"});

        const QString out = m_dir.filePath("net.png");
        const Run r =
            run({"grab", "--camera", kNetAddress, "--resolution", "1920x1080", "--frames", "75", "--out", out});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QStringList rates = r.out.split('\n').filter(QRegularExpression("^fps: \\d+\\.\\d\\d$"));
        QVERIFY2(rates.size() >= 2, qPrintable(r.out));
        // Near the camera's rate: a loaded machine reads pictures late and then in a burst.
        QVERIFY2(qAbs(rates.last().mid(5).toDouble() - 30.0) <= 15.0, qPrintable(rates.last()));
        QCOMPARE(QImage(out).size(), QSize(1920, 1080));
    }

    void cameraTextStaysOnItsLine()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {}));
        SimProcess sim(NETCAM_SIM_PROGRAM);
        QVERIFY2(sim.start(kNetAddress, "CM14\tx\nusb#fake\tLmCam_9 (USB 2.0)", {}, m_discoveryPort),
                 qPrintable(sim.error()));
        const Run list = run({"list"});
        QCOMPARE(list.out.split('\n', Qt::SkipEmptyParts), QStringList{QString(kNetAddress) + "\t" + kNetAddress +
                                                                       "\tCM14\\tx\\nusb#fake\\tLmCam_9 (USB 2.0)\t0"});
    }

    // One output line per file, in order; an unreadable file does not stop the others.
    void scan_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("found") << QStringList{"qr.png"} << "LUMORA SLIDE 0001\n" << 0;
        QTest::newRow("none") << QStringList{"blank.png"} << "\n" << 0;
        QTest::newRow("unreadableAmongOthers")
            << QStringList{"blank.png", "broken.png", "qr.png"} << "\n\nLUMORA SLIDE 0001\n"
            << 12;
    }

    void scan()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, out);
        QFETCH(int, exitCode);
        QVERIFY(SlideLabel::render(SlideLabel::Spec()).save(m_dir.filePath("qr.png")));
        QImage blank(640, 480, QImage::Format_RGB32);
        blank.fill(Qt::white);
        QVERIFY(blank.save(m_dir.filePath("blank.png")));
        QFile broken(m_dir.filePath("broken.png"));
        QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("not a picture") > 0);
        broken.close();
        QStringList arguments{"scan"};
        for (const QString &file : files)
            arguments << m_dir.filePath(file);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.out, out);
        QCOMPARE(r.err.contains("cannot read " + m_dir.filePath("broken.png")), exitCode != 0);
    }

    void failures_data()
    {
        QTest::addColumn<QJsonObject>("entry");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");

        const QString out = m_dir.filePath("f.png");
        const QJsonObject plain = device(kDevice);
        QTest::newRow("noCommand") << plain << QStringList{} << 2 << "no command given";
        QTest::newRow("badResolutionText")
            << plain << QStringList{"grab", "--camera", kDevice, "--resolution", "640*480", "--out", out} << 2
            << "bad --resolution \"640*480\"";
        QTest::newRow("unknownParameter")
            << plain << QStringList{"grab", "--camera", kDevice, "--set", "shutter=3", "--out", out} << 2
            << "unknown camera parameter \"shutter\"";
        QTest::newRow("unsupportedExtension")
            << plain << QStringList{"grab", "--camera", kDevice, "--out", "x.gif"} << 2 << "bad --out";
        QTest::newRow("resolutionNotOffered")
            << plain << QStringList{"grab", "--camera", kDevice, "--resolution", "800x600", "--out", out} << 2
            << "resolution 800x600 is not offered (offered: 320x240, 640x480)";
        QTest::newRow("roiOutOfRange") << plain << QStringList{"grab",         "--camera", kDevice,
                                                               "--resolution", "320x240",  "--roi",
                                                               "0,0,322,240",  "--out",    out}
                                       << 2 << "--roi refused: Out of range.; X + Width = 322 > 320";
        QTest::newRow("valueOutsideRange")
            << plain << QStringList{"grab", "--camera", kDevice, "--set", "hue=100000", "--out", out} << 2
            << "hue=100000: outside the camera's range";
        QTest::newRow("missingCamera") << plain << QStringList{"info", "--camera", "usb#vid_2bdf&pid_0283#9#video"} << 3
                                       << "no camera named \"usb#vid_2bdf&pid_0283#9#video\"";
        QTest::newRow("refusedOpen") << device(kDevice, {{"faults", QJsonObject{{"refuse_open", true}}}})
                                     << QStringList{"grab", "--camera", kDevice, "--out", out} << 4
                                     << "refused to open";
        QTest::newRow("lostCamera") << device(kDevice, {{"faults", QJsonObject{{"disconnect_after_frames", 3}}}})
                                    << QStringList{"grab", "--camera", kDevice, "--frames", "10", "--out", out} << 5
                                    << "was lost after"; // frames delivered depend on the display keeping up
        QTest::newRow("recordNotMp4") << plain
                                      << QStringList{"record", "--camera", kDevice, "--seconds", "1", "--out", "v.avi"}
                                      << 2 << "the name must end in .mp4";
        QTest::newRow("recordTooLong") << plain << QStringList{"record", "--camera", kDevice, "--seconds",
                                                               "86401",  "--out",    "v.mp4"}
                                       << 2 << "bad --seconds \"86401\"";
        QTest::newRow("recordLostCamera")
            << device(kDevice, {{"faults", QJsonObject{{"disconnect_after_frames", 3}}}})
            << QStringList{"record", "--camera", kDevice, "--seconds", "30", "--out", m_dir.filePath("lost.mp4")} << 5
            << "was lost";
        QTest::newRow("viewScreenshotWithoutFrames")
            << plain << QStringList{"view", "--camera", kDevice, "--screenshot", out} << 2 << "needs --frames N";
        QTest::newRow("viewBadLevels") << plain << QStringList{"view", "--camera", kDevice, "--levels", "200,100"} << 2
                                       << "bad --levels \"200,100\"";
        QTest::newRow("viewFlagWithValue") << plain << QStringList{"view", "--camera", kDevice, "--negative=1"} << 2
                                           << "option --negative takes no value";
        QTest::newRow("viewRotateNotOffered") << plain << QStringList{"view", "--camera", kDevice, "--rotate", "90"}
                                              << 2 << "option --rotate does not apply to view";
        QTest::newRow("viewLostCamera") << device(kDevice, {{"faults", QJsonObject{{"disconnect_after_frames", 3}}}})
                                        << QStringList{"view", "--camera", kDevice, "--frames", "50"} << 5
                                        << "stopped after";
        QTest::newRow("measureWrongPointCount")
            << plain << QStringList{"measure", "--tool", "Cir", "--points", "0,0;2,0"} << 2
            << "Cir takes 3 points, 2 given";
        QTest::newRow("unknownCalibration")
            << plain << QStringList{"measure", "--tool", "Line", "--points", "0,0;2,0", "--calibration", "none"} << 10
            << "no calibration named \"none\"";
        QTest::newRow("snapUnknownCalibration")
            << plain << QStringList{"snap", "--camera", kDevice, "--calibration", "none", "--out", out} << 10
            << "no calibration named \"none\"";
        QTest::newRow("outputFolderMissing")
            << plain << QStringList{"grab", "--camera", kDevice, "--out", m_dir.filePath("none/f.png")} << 6
            << "the folder does not exist";
    }

    void failures()
    {
        QFETCH(QJsonObject, entry);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QVERIFY(writeVirtualDevices(m_devicesPath, {entry}));
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(!QFile::exists(m_dir.filePath("f.png")));
    }

    // The program's own geometry and unit conversion: a circle of radius √2 pixels at 5 µm a pixel.
    void measure()
    {
        const Run r = run({"measure", "--tool", "Cir", "--points", "0,0;2,0;0,2", "--unit", "um", "--um-per-px", "5"});
        QCOMPARE(r.exitCode, 0);
        const QJsonArray results = QJsonDocument::fromJson(r.out.toUtf8()).object().value("results").toArray();
        QCOMPARE(results.size(), 4);
        QCOMPARE(results.at(0).toObject().value("text").toString(), QString("R = 7.07um"));
        QCOMPARE(results.at(3).toObject().value("value").toDouble(), 2 * M_PI * 25);
        QCOMPARE(results.at(3).toObject().value("unit").toString(), QString::fromUtf8("um²"));
    }

    // A stored calibration measures in its own unit, goes with a picture taken under it, travels
    // through a ".cal" file, and a cut file is refused without touching what is stored.
    void calibration()
    {
        const QString ini = m_dir.filePath("lumora/calibration.ini");
        QDir().mkpath(QFileInfo(ini).path());
        QFile file(ini);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[calibrate]\n1\\name=ten\n1\\magnification=10X\n1\\length=1\n1\\unit=mm\n1\\real=5\n"
                   "1\\pixel=200\n1\\resolution=1920x1080\nsize=1\n");
        file.close();
        const Run measured =
            run({"measure", "--tool", "Cir", "--points", "0,0;2,0;0,2", "--calibration", "ten", "--precision", "4"});
        QVERIFY2(measured.out.contains("R = 0.0071mm"), qPrintable(measured.out + measured.err));
        // Its 5 um a pixel at 1920 wide are 30 um a pixel at 320 wide.
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const QString picture = m_dir.filePath("ten.tif");
        QCOMPARE(run({"snap", "--camera", kDevice, "--resolution", "320x240", "--calibration", "ten", "--out", picture})
                     .exitCode,
                 0);
        const TiffPicture tiff = readTiff(picture);
        QCOMPARE(tiff.xResolution, float(1.0 / 30));
        QCOMPARE(tiff.description, QString("ImageJ=1.53t\nunit=micron\n"));

        const QString exported = m_dir.filePath("ten.cal");
        QCOMPARE(run({"calibration", "export", m_dir.filePath("ten")}).exitCode, 0);
        const QString other = QString("XDG_DATA_HOME='%1'; export XDG_DATA_HOME").arg(m_dir.filePath("other"));
        const Run imported = run({"calibration", "import", exported}, other);
        QVERIFY2(imported.out.contains("Calibration data has been successfully processed."), qPrintable(imported.err));
        const QJsonArray listed = QJsonDocument::fromJson(run({"calibration", "list"}, other).out.toUtf8())
                                      .object()
                                      .value("calibrate")
                                      .toArray();
        QCOMPARE(listed.size(), 1);
        QCOMPARE(listed.at(0).toObject().value("umPerPixel").toDouble(), 5.0);

        QFile cal(exported);
        QVERIFY(cal.resize(cal.size() - 1));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        const Run refused = run({"calibration", "import", exported});
        QCOMPARE(refused.exitCode, 9);
        QVERIFY2(refused.err.contains("The calibration file is damaged: record 1 has no sound scale length."),
                 qPrintable(refused.err));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    // No file may grow, as on a full volume: the picture that was there stays, and the exit
    // status says the output cannot be written. A small JPEG fits in the file's write buffer,
    // so only the last flush fails.
    void grabToAFullVolume()
    {
        QVERIFY(writeVirtualDevices(m_devicesPath, {device(kDevice)}));
        const QString out = m_dir.filePath("full.jpg");
        QFile old(out);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("the previous picture");
        old.close();
        const Run r =
            run({"grab", "--camera", kDevice, "--resolution", "320x240", "--out", out}, "trap '' XFSZ; ulimit -f 0");
        QCOMPARE(r.exitCode, 6);
        QVERIFY2(r.err.contains("lumora-cli: cannot write " + out + ": "), qPrintable(r.err));
        QVERIFY(!r.out.contains("saved:"));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the previous picture"));
    }

private:
    // `shell`: sh commands run before lumora-cli replaces the shell.
    void start(QProcess &process, const QStringList &arguments, const QString &shell = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LMCAM_VIRTUAL_DEVICES", m_devicesPath);
        env.insert("LSDK_DISCOVERY_TARGETS", m_discoveryTarget);
        process.setProcessEnvironment(env);
        if (shell.isEmpty())
            process.start(LUMORA_BIN_DIR "/lumora-cli", arguments);
        else
            process.start("sh",
                          QStringList{"-c", shell + "; exec \"$0\" \"$@\"", LUMORA_BIN_DIR "/lumora-cli"} + arguments);
    }

    Run run(const QStringList &arguments, const QString &shell = QString())
    {
        QProcess process;
        start(process, arguments, shell);
        Run result;
        if (!process.waitForFinished(60000)) {
            process.kill();
            process.waitForFinished();
            return result;
        }
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QTemporaryDir m_dir;
    QString m_devicesPath;
    // Where lumora-cli looks for network cameras: a port of the test's own, so that no other
    // camera on this machine shows up.
    QString m_discoveryTarget;
    quint16 m_discoveryPort = 0;
};

QTEST_GUILESS_MAIN(TestLumoraCli)
#include "tst_lumoracli.moc"
