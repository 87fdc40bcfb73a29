// CameraDatabase against real SQLite files in temporary folders, and the camera parameter
// table against virtual USB cameras, the database and the configuration record.
#include "basecamera.h"
#include "cameradatabase.h"
#include "cameraparameters.h"
#include "configstore.h"
#include "lmcam.h"
#include "models/cameramodelfactory.h"
#include "uvcdevice.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {

const char *kUsbDevice = "\\\\?\\usb#vid_2bdf&pid_0283&mi_00#7&1a2b3c4d&0&0000#{e5323777-f976}\\global";

QStringList g_log;
void collectMessages(QtMsgType, const QMessageLogContext &, const QString &text)
{
    g_log << text;
}

// A camera that offers MJPEG at three sizes and NV12 at one, showing 1280x720, and every
// parameter.
CameraInfo offeredInfo()
{
    CameraInfo info;
    for (const CameraParameter &p : cameraParameters()) {
        if (p.field.range)
            (info.*p.field.range).supported = true;
        if (p.field.supported)
            info.*p.field.supported = true;
    }
    info.formats = {0, 1};
    for (const QSize size : {QSize(1280, 720), QSize(1920, 1080), QSize(3840, 2160)}) {
        CameraResolution r;
        r.width = size.width();
        r.height = size.height();
        r.resolution = CameraResolution::text(r.width, r.height);
        info.resolutions[0].append(r);
    }
    CameraResolution nv12 = info.resolutions[0].at(1);
    nv12.format = 1;
    info.resolutions[1] = {nv12};
    info.current = info.resolutions[0].at(0);
    return info;
}

// Runs one statement on a connection of its own, so the checks do not go through the class.
QList<QVariantList> rawQuery(const QString &file, const QString &sql)
{
    QList<QVariantList> rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "raw");
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(sql)) {
                while (query.next()) {
                    QVariantList row;
                    for (int i = 0; i < query.record().count(); ++i)
                        row << query.value(i);
                    rows << row;
                }
            }
        }
    }
    QSqlDatabase::removeDatabase("raw");
    return rows;
}

int rowCount(const QString &file)
{
    const auto rows = rawQuery(file, "SELECT COUNT(*) FROM camera");
    return rows.isEmpty() ? -1 : rows.first().first().toInt();
}

// The fields of CameraInfo the loading tests look at, by name.
int probe(const CameraInfo &i, const QString &what)
{
    static const QMap<QString, std::function<int(const CameraInfo &)>> probes = {
        {"bitRate", [](const CameraInfo &c) { return c.bitRate; }},
        {"format", [](const CameraInfo &c) { return c.format; }},
        {"currentWidth", [](const CameraInfo &c) { return c.current.width; }},
        {"currentFormat", [](const CameraInfo &c) { return c.current.format; }},
        {"photoWidth", [](const CameraInfo &c) { return c.photo.width; }},
        {"expMode", [](const CameraInfo &c) { return int(c.expMode); }},
        {"expGainSupported", [](const CameraInfo &c) { return int(c.expGain.supported); }},
        {"wbRed", [](const CameraInfo &c) { return c.wbRed.value; }},
        {"wbBlueMax", [](const CameraInfo &c) { return c.wbBlue.max; }},
        {"monochrome", [](const CameraInfo &c) { return int(c.monochrome); }},
        {"focusRegionEnable", [](const CameraInfo &c) { return int(c.focusRegionEnable); }},
    };
    return probes.value(what)(i);
}

const char *const kModelDevices[] = {"usb#vid_2bdf&pid_0201#cm01#video", "usb#vid_2bdf&pid_0222#0001#video",
                                     "usb#vid_2bdf&pid_0283#0001#video"};

bool isCameraSignal(const char *name)
{
    const QMetaObject &meta = BaseCamera::staticMetaObject;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        if (meta.method(i).methodType() == QMetaMethod::Signal && meta.method(i).name() == name)
            return true;
    }
    return false;
}

// A value of the parameter other than the one `info` holds, inside its range.
int otherValue(const CameraParameter &p, const CameraInfo &info)
{
    const int now = p.field.get(info);
    switch (p.kind) {
    case CameraParameter::Flag:
        return now ? 0 : 1;
    case CameraParameter::Choice:
        return p.choiceValues ? p.choiceValues[p.choiceValues[0] == now ? 1 : 0] : (now == 1 ? 2 : 1);
    case CameraParameter::Integer:
        break;
    }
    return p.field.range && now >= (info.*p.field.range).max ? now - 1 : now + 1;
}

// The first virtual camera whose model takes a new value of the parameter, that value in
// `wanted`; null when none does.
std::shared_ptr<BaseCamera> cameraTaking(const CameraParameter &p, int &wanted)
{
    for (const char *device : kModelDevices) {
        CameraOpenInfo open;
        open.cameraResolution.devicePath = QString::fromLatin1(device);
        const std::shared_ptr<BaseCamera> camera = createCamera(open);
        if (!camera || !camera->open(open))
            return nullptr;
        camera->onGetAllInfo();
        // Exposure time and gain are taken in manual exposure only.
        for (const bool manual : {false, true}) {
            if (manual)
                findCameraParameter("exposure_mode")->apply(*camera, ExposureManual);
            wanted = otherValue(p, camera->cameraInfo());
            p.apply(*camera, wanted);
            if (p.field.get(camera->cameraInfo()) == wanted)
                return camera;
        }
    }
    return nullptr;
}

} // namespace

class TestCameraDatabase : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Cameras save their configuration record when they go.
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
        // One model of each family that adds parameters: focus, zoom and ring light; defog; scene
        // and gamma curve.
        QJsonArray devices;
        for (const char *name : kModelDevices)
            devices.append(QJsonObject{{"name", name}, {"pid", QString(name).section("pid_", 1).left(4)}});
        QFile file(m_dir.filePath("devices.json"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(QJsonObject{{"devices", devices}}).toJson());
        file.close();
        qputenv("LMCAM_VIRTUAL_DEVICES", QFile::encodeName(file.fileName()));
        lmcam_api_init();
    }
    void init()
    {
        g_log.clear();
        m_previousHandler = qInstallMessageHandler(collectMessages);
    }
    void cleanup() { qInstallMessageHandler(m_previousHandler); }

    void createsTableWithItsColumns()
    {
        QTemporaryDir dir;
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        QVERIFY(QFile::exists(dir.filePath("setting.db")));
        db.close();

        QStringList expected = {"id INTEGER 0 1", "pid VARCHAR(100) 1 0", "isnv12 INTEGER 1 0"};
        const QString integers =
            "decodeWay exposureMode exposureGain exposureCompensation exposureTime Zoom "
            "whiteBalanceMode whiteBalanceR whiteBalanceG whiteBalanceB hueValue saturationValue "
            "contrastValue sharpnessValue flip mirror focusMode focusValue HDRValue defogMode frameMode";
        for (const QString &name : integers.split(' '))
            expected << name + " INTEGER(40) 1 0";
        expected << "resolution VARCHAR(20) 1 0"
                 << "fps INTEGER(40) 1 0"
                 << "bitrate INTEGER(40) 1 0"
                 << "pictureResolution VARCHAR(20) 1 0";
        QStringList actual;
        // table_info rows: cid, name, type, notnull, dflt_value, pk
        for (const QVariantList &c : rawQuery(dir.filePath("setting.db"), "PRAGMA table_info(camera)"))
            actual << QStringLiteral("%1 %2 %3 %4")
                          .arg(c[1].toString(), c[2].toString(), c[3].toString(), c[5].toString());
        QCOMPARE(actual, expected);
        const auto schema = rawQuery(dir.filePath("setting.db"), "SELECT sql FROM sqlite_master WHERE name='camera'");
        QCOMPARE(schema.size(), 1);
        QVERIFY(schema.first().first().toString().contains("id INTEGER PRIMARY KEY AUTOINCREMENT"));
    }

    void openFailsOnUnusableFile()
    {
        QTemporaryDir dir;
        QFile garbage(dir.filePath("setting.db"));
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        CameraDatabase db(dir.path());
        QVERIFY(!db.open());
        QVERIFY(!db.isOpen());
        QCOMPARE(CameraDatabase::openFailedMessage(), QStringLiteral("Open Fail ?"));
        // The log names the file and the driver's reason.
        QVERIFY2(!g_log.filter(db.filePath()).filter("file is not a database").isEmpty(), qPrintable(g_log.join('\n')));
    }

    // A row stored under the key of older versions, then the devices opened in order with the
    // frame rate each one reads (the old row holds 12, a new one the default 60).
    void oldRowStaysWithItsDevice_data()
    {
        QTest::addColumn<QString>("storedKey");
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QList<int>>("fps");
        QTest::newRow("usbPathCut") << "usb#vid_2bdf&pid_0283&mi_00#7&1a2b3c4d&0&0000#{e5323777-f976}"
                                    << QStringList{kUsbDevice, kUsbDevice} << QList<int>{12, 12};
        QTest::newRow("networkWhole") << "127.0.0.3" << QStringList{"127.0.0.30", "127.0.0.3"} << QList<int>{60, 12};
        // Both serials read and wrote this row; the first one seen keeps it.
        QTest::newRow("sharedBySerials") << "usb#vid_2bdf&pid_0283#000"
                                         << QStringList{"usb#vid_2bdf&pid_0283#0002#video",
                                                        "usb#vid_2bdf&pid_0283#0001#video",
                                                        "usb#vid_2bdf&pid_0283#0002#video"}
                                         << QList<int>{12, 60, 12};
    }
    void oldRowStaysWithItsDevice()
    {
        QFETCH(QString, storedKey);
        QFETCH(QStringList, devices);
        QFETCH(QList<int>, fps);
        QTemporaryDir dir;
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        QVERIFY(db.seedIfMissing(storedKey, CameraDefaultRow::common("1920x1080", 12)));
        for (int i = 0; i < devices.size(); ++i) {
            CameraInfo info = offeredInfo();
            QVERIFY(db.loadDefaultParameters(devices.at(i), CameraDefaultRow::common("1920x1080", 60), info));
            QCOMPARE(info.fps, fps.at(i));
        }
        QStringList distinct = devices;
        distinct.removeDuplicates();
        QCOMPARE(rowCount(dir.filePath("setting.db")), distinct.size());
    }

    void firstSightSeedsSecondOpenReuses()
    {
        QTemporaryDir dir;
        CameraDefaultRow row = CameraDefaultRow::common("1920x1080", 30);
        row.hdrValue = 2;
        {
            CameraDatabase db(dir.path());
            QVERIFY(db.open());
            CameraInfo info = offeredInfo();
            QVERIFY(db.loadDefaultParameters(kUsbDevice, row, info));
            QCOMPARE(info.photo.width, 1920);
            QCOMPARE(info.gamma.value, 2);
        }
        QCOMPARE(rowCount(dir.filePath("setting.db")), 1);
        // Same device after a restart: the stored row wins over the defaults offered this time.
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        CameraInfo info = offeredInfo();
        QVERIFY(db.loadDefaultParameters(kUsbDevice, CameraDefaultRow::common("3840x2160", 60), info));
        QCOMPARE(info.current.width, 1920);
        QCOMPARE(info.fps, 30);
        db.close();
        QCOMPARE(rowCount(dir.filePath("setting.db")), 1);
    }

    void nothingWithoutNameDefaultsOrFormats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("resolution");
        QTest::addColumn<bool>("formats");
        QTest::newRow("emptyName") << ""
                                   << "1920x1080" << true;
        QTest::newRow("noModelDefaults") << kUsbDevice << "" << true;
        QTest::newRow("noFormatsYet") << kUsbDevice << "1920x1080" << false;
    }
    void nothingWithoutNameDefaultsOrFormats()
    {
        QFETCH(QString, name);
        QFETCH(QString, resolution);
        QFETCH(bool, formats);
        QTemporaryDir dir;
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        CameraInfo info = formats ? offeredInfo() : CameraInfo();
        const int bitRate = info.bitRate;
        const QByteArray resolutionText = resolution.toLatin1();
        QVERIFY(!db.loadDefaultParameters(name, CameraDefaultRow::common(resolutionText.constData(), 60), info));
        QCOMPARE(info.bitRate, bitRate);
        QCOMPARE(rowCount(dir.filePath("setting.db")), 0);
    }

    // Each row: one stored column changed through saveValue, then what a fresh load reports.
    void storedValueReachesInfo_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("expected");
        QTest::newRow("bitratePlaceholderRaised") << "bitrate" << QVariant(1) << "bitRate" << 10000;
        QTest::newRow("bitrateKeptWhenHigher") << "bitrate" << QVariant(20000) << "bitRate" << 20000;
        QTest::newRow("exposureModeZeroIsManual") << "exposureMode" << QVariant(0) << "expMode" << 2;
        QTest::newRow("exposureGainMissing") << "exposureGain" << QVariant(-1) << "expGainSupported" << 0;
        QTest::newRow("saturationZeroIsMonochrome") << "saturationValue" << QVariant(0) << "monochrome" << 1;
        QTest::newRow("wbAutoSkipsGains") << "whiteBalanceMode" << QVariant(1) << "wbRed" << 0;
        QTest::newRow("wbMaximum") << "whiteBalanceMode" << QVariant(1) << "wbBlueMax" << 255;
        QTest::newRow("noFocus") << "focusValue" << QVariant(-1) << "focusRegionEnable" << 0;
        QTest::newRow("focusRowEnablesRegion") << "focusValue" << QVariant(5) << "focusRegionEnable" << 1;
        QTest::newRow("liveResolution") << "resolution" << QVariant("3840x2160") << "currentWidth" << 3840;
        QTest::newRow("photoResolution") << "pictureResolution" << QVariant("3840x2160") << "photoWidth" << 3840;
        QTest::newRow("unofferedResolutionKeepsCurrent")
            << "resolution" << QVariant("1234x567") << "currentWidth" << 1280;
        QTest::newRow("decodeWayPicksFormatAndItsResolution") << "decodeWay" << QVariant(1) << "currentFormat" << 1;
        QTest::newRow("unofferedFormatIgnored") << "decodeWay" << QVariant(3) << "format" << 0;
    }
    void storedValueReachesInfo()
    {
        QFETCH(QString, column);
        QFETCH(QVariant, stored);
        QFETCH(QString, field);
        QFETCH(int, expected);
        QTemporaryDir dir;
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        CameraInfo seeded = offeredInfo();
        QVERIFY(db.loadDefaultParameters(kUsbDevice, CameraDefaultRow::common("1920x1080", 60), seeded));
        QVERIFY(db.saveValue(kUsbDevice, column, stored));
        CameraInfo info = offeredInfo();
        QVERIFY(db.loadDefaultParameters(kUsbDevice, CameraDefaultRow::common("1920x1080", 60), info));
        QCOMPARE(probe(info, field), expected);
    }

    // Names with a quote, GLOB metacharacters or a neighbour's name inside: each device keeps a
    // row of its own.
    void neighboursNeverShareARow_data()
    {
        QTest::addColumn<QString>("neighbour");
        QTest::addColumn<QString>("name");
        QTest::newRow("quote") << "CM14_IPC_lab"
                               << "CM14_IPC_lab'x";
        QTest::newRow("bracket") << "CM14_IPC_lab'1x"
                                 << "CM14_IPC_lab'[1]";
        QTest::newRow("star") << "CM14_IPC_labXYZ"
                              << "CM14_IPC_lab*Z";
        QTest::newRow("question") << "CM14_IPC_abc"
                                  << "CM14_IPC_a?c";
        QTest::newRow("addressInAddress") << "127.0.0.30"
                                          << "127.0.0.3";
        QTest::newRow("usbSerials") << "usb#vid_2bdf&pid_0283#0002#video"
                                    << "usb#vid_2bdf&pid_0283#0001#video";
    }
    void neighboursNeverShareARow()
    {
        QFETCH(QString, neighbour);
        QFETCH(QString, name);
        QTemporaryDir dir;
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        CameraInfo info = offeredInfo();
        QVERIFY(db.loadDefaultParameters(neighbour, CameraDefaultRow::common("1920x1080", 25), info));
        info = offeredInfo();
        QVERIFY(db.loadDefaultParameters(name, CameraDefaultRow::common("1920x1080", 50), info));
        QCOMPARE(info.fps, 50);
        QCOMPARE(rowCount(dir.filePath("setting.db")), 2);
        QCOMPARE(db.findRow(name)->value("pid").toString(), name);

        QVERIFY(db.saveValue(name, "fps", 12));
        QCOMPARE(db.findRow(neighbour)->value("fps").toInt(), 25);
        QCOMPARE(db.findRow(name)->value("fps").toInt(), 12);
    }

    void unknownColumnRefused_data()
    {
        QTest::addColumn<QString>("column");
        QTest::newRow("rowId") << "id";
        QTest::newRow("key") << "pid";
        QTest::newRow("wrongCase") << "zoom";
        QTest::newRow("empty") << "";
        QTest::newRow("injection") << "fps=1; DROP TABLE camera; --";
        QTest::newRow("twoColumns") << "fps=5, bitrate";
    }
    void unknownColumnRefused()
    {
        QFETCH(QString, column);
        QTemporaryDir dir;
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        CameraInfo info = offeredInfo();
        QVERIFY(db.loadDefaultParameters(kUsbDevice, CameraDefaultRow::common("1920x1080", 60), info));
        const QVariantMap before = *db.findRow(kUsbDevice);
        g_log.clear();
        QVERIFY(!db.saveValue(kUsbDevice, column, 9));
        QCOMPARE(g_log.size(), 1);
        QVERIFY(g_log.first().contains(column));
        QCOMPARE(*db.findRow(kUsbDevice), before);
    }

    void saveWithoutRowLogs()
    {
        QTemporaryDir dir;
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        QVERIFY(db.seedIfMissing("CM14_IPC_other", CameraDefaultRow::common("1920x1080", 60)));
        QVERIFY(!db.saveValue("CM08_IPC_1", "fps", 5));
        QCOMPARE(g_log.last(),
                 QStringLiteral("saveCameraProperty error. Can not find the entry for cur camera CM08_IPC_1"));
        QCOMPARE(db.findRow("CM14_IPC_other")->value("fps").toInt(), 60);
    }

    // Each parameter the camera keeps: its slot changes its CameraInfo member on the first
    // virtual camera whose model has it, and the database row and the configuration record give
    // the new value back.
    void parameterTableRoundTrip_data()
    {
        QTest::addColumn<QString>("name");
        for (const CameraParameter &p : cameraParameters()) {
            if (p.field.get)
                QTest::newRow(p.name) << QString::fromLatin1(p.name);
        }
    }
    void parameterTableRoundTrip()
    {
        QFETCH(QString, name);
        const CameraParameter &p = *findCameraParameter(name);
        QVERIFY(p.column == nullptr || findCameraParameterByColumn(p.column) == &p);
        QVERIFY2(isCameraSignal(p.signal), p.signal);

        int wanted = 0;
        QString device;
        QString modelKey;
        {
            const std::shared_ptr<BaseCamera> camera = cameraTaking(p, wanted);
            QVERIFY2(camera, "no model takes it");
            device = camera->uniqueName();
            modelKey = camera->modelKey();
        } // the record is saved now
        if (p.recordKey) {
            const QJsonValue recorded = ConfigStore::instance().readCameraConfiguration(modelKey).value(p.recordKey);
            QCOMPARE(p.kind == CameraParameter::Flag ? int(recorded.toBool()) : recorded.toInt(-1), wanted);
        }
        if (p.column && p.stored != CameraParameter::SavedOnly && p.stored != CameraParameter::Presence) {
            QTemporaryDir dir;
            CameraDatabase db(dir.path());
            QVERIFY(db.open());
            const CameraDefaultRow row = CameraDefaultRow::common("1920x1080", 60);
            CameraInfo info = offeredInfo();
            QVERIFY(db.loadDefaultParameters(device, row, info));
            QVERIFY(db.saveValue(device, p.column, wanted));
            if (p.stored == CameraParameter::WhileManualExposure)
                QVERIFY(db.saveValue(device, "exposureMode", ExposureManual));
            info = offeredInfo();
            QVERIFY(db.loadDefaultParameters(device, row, info));
            QCOMPARE(p.field.get(info), wanted);
        }
    }

    // A stored row wins over the device when the camera opens as the program opens it: the
    // device takes the values (the SDK reads them back) and the information shows them.
    void storedRowWinsAtOpen_data()
    {
        QTest::addColumn<QVariantMap>("row");
        QTest::addColumn<QVariantMap>("expected"); // by parameter name; -1: not offered
        QTest::newRow("whiteBalanceGammaCompensation")
            << QVariantMap{{"whiteBalanceMode", 2}, {"whiteBalanceR", 532}, {"whiteBalanceG", 256},
                           {"whiteBalanceB", 411},  {"HDRValue", 6},        {"exposureCompensation", 56}}
            << QVariantMap{{"wb_red", 532}, {"wb_green", 256}, {"wb_blue", 411}, {"gamma", 6}, {"exposure_comp", 56}};
        QTest::newRow("exposureModeMissing")
            << QVariantMap{{"exposureMode", -1}}
            << QVariantMap{{"exposure_mode", -1}, {"exposure_comp", -1}, {"exposure_time", -1}, {"exposure_gain", -1}};
        // A larger model's size in a format that offers only 1920x1080.
        QTest::newRow("sizeNotOffered") << QVariantMap{{"decodeWay", 1}, {"resolution", "5440x3648"}} << QVariantMap{};
    }
    void storedRowWinsAtOpen()
    {
        QFETCH(QVariantMap, row);
        QFETCH(QVariantMap, expected);
        const QString device = QString::fromLatin1(kModelDevices[2]);
        CameraDatabase db;
        QVERIFY(db.open());
        QVERIFY(db.seedIfMissing(device, CameraDefaultRow::common("1920x1080", 60)));
        for (auto it = row.cbegin(); it != row.cend(); ++it)
            QVERIFY(db.saveValue(device, it.key(), it.value()));

        CameraOpenInfo open;
        open.cameraResolution.devicePath = device;
        const std::shared_ptr<BaseCamera> camera = createCamera(open);
        QVERIFY(camera && camera->open(open));
        camera->useStoredParameters(true);
        QSignalSpy sent(camera.get(), &BaseCamera::sendAllInfo);
        camera->onGetAllInfo();
        QCOMPARE(sent.size(), 1);
        const CameraInfo info = sent.first().first().value<CameraInfo>();
        // The stream it will ask for is one the device offers.
        const QVector<CameraResolution> offered = info.resolutions.value(info.format);
        QVERIFY(std::any_of(offered.cbegin(), offered.cend(),
                            [&](const CameraResolution &r) { return r.resolution == info.current.resolution; }));
        const lmcam_handle handle = static_cast<UvcDevice *>(camera.get())->handle();
        using SdkGet = int32_t (*)(lmcam_handle, int32_t *);
        const QMap<QString, SdkGet> readBack = {{"wb_red", lmcam_get_white_balance_component_red},
                                                {"wb_green", lmcam_get_white_balance_component_green},
                                                {"wb_blue", lmcam_get_white_balance_component_blue},
                                                {"gamma", lmcam_get_gamma},
                                                {"exposure_comp", lmcam_get_exposure_compensation}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            const CameraParameter &p = *findCameraParameter(it.key());
            if (it.value().toInt() == -1) {
                QVERIFY2(!(p.field.range ? (info.*p.field.range).supported : info.*p.field.supported), p.name);
                continue;
            }
            QCOMPARE(p.field.get(info), it.value().toInt());
            int32_t held = 0;
            QCOMPARE(readBack.value(it.key())(handle, &held), LMCAM_OK);
            QCOMPARE(int(held), it.value().toInt());
        }
    }

private:
    QtMessageHandler m_previousHandler = nullptr;
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCameraDatabase)
#include "tst_cameradatabase.moc"
