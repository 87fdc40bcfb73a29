// The camera model classes, their table and the factory that picks a class for a device.
#include "models/cameramodelfactory.h"
#include "models/cameramodeltable.h"
#include "models/cm18ucamera.h"
#include "usbmodeltable.h"

#include "cameradatabase.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <QtTest>

namespace {

QString usbPath(const QString &productId, const QString &rest = QStringLiteral("0001"))
{
    return QStringLiteral("usb#vid_2bdf&pid_%1#%2#video").arg(productId, rest);
}

// How each model class is reached through the factory, what it derives from and its record key.
struct ModelCase
{
    const char *className;
    const char *baseClass;
    const char *modelKey;
    QString key;
    bool network;
};

QList<ModelCase> modelCases()
{
    return {
        {"Cm01UCamera", "UvcCamera", "cm01", usbPath("0201", "cm01"), false},
        {"Cm02UCamera", "Cm01UCamera", "cm02U", usbPath("0202", "cm02"), false},
        {"Cm03UCamera", "Cm01UCamera", "cm03", usbPath("0203", "cm03"), false},
        {"Cm04UCamera", "Cm01UCamera", "cm04", usbPath("0204", "cm04"), false},
        {"Cm05UCamera", "Cm01UCamera", "CM05", usbPath("0205", "cm05"), false},
        {"Cm06UCamera", "Cm01UCamera", "CM06", usbPath("0206", "cm06"), false},
        {"Cm07Camera", "UvcCamera", "cm07", usbPath("0207"), false},
        {"Cm08UCamera", "UvcCamera", "cm08", usbPath("0208", "cm08"), false},
        {"Cm09UCamera", "Cm08UCamera", "cm09", usbPath("0209", "cm09"), false},
        {"Cm10UCamera", "Cm11UCamera", "cm10", usbPath("0210", "cm10"), false},
        {"Cm11UCamera", "Cm23Camera", "cm11", usbPath("0211", "cm11"), false},
        {"Cm12UCamera", "Cm11UCamera", "cm12", usbPath("0212", "cm12"), false},
        {"Cm15UCamera", "UvcCamera", "cm15", usbPath("0215"), false},
        {"Cm16UCamera", "Cm15UCamera", "cm16", usbPath("0216"), false},
        {"Cm17UCamera", "Cm21UCamera", "cm17", usbPath("0217"), false},
        {"Cm18UCamera", "Cm21UCamera", "cm18", usbPath("0218"), false},
        {"Cm19UCamera", "Cm22UCamera", "cm19", usbPath("0219"), false},
        {"Cm20UCamera", "Cm19UCamera", "cm20", usbPath("0220"), false},
        {"Cm21UCamera", "UvcCamera", "cm21", usbPath("0221"), false},
        {"Cm22UCamera", "UvcCamera", "cm22", usbPath("0222"), false},
        {"Cm23Camera", "UvcCamera", "cm23", usbPath("0280"), false},
        {"Cm24Camera", "Cm23Camera", "cm24", usbPath("0281"), false},
        {"Cm25Camera", "Cm24Camera", "cm25", usbPath("0282"), false},
        {"Cm26Camera", "Cm25Camera", "cm26", usbPath("0283"), false},
        {"Cm27Camera", "Cm28Camera", "cm27", usbPath("0284"), false},
        {"Cm28Camera", "Cm23Camera", "CM28", usbPath("0285"), false},
        {"Cm29Camera", "Cm28Camera", "CM29", usbPath("0286"), false},
        {"Cm30Camera", "Cm31Camera", "CM30", usbPath("0287"), false},
        {"Cm31Camera", "Cm23Camera", "CM31", usbPath("0288"), false},
        {"Cm32Camera", "Cm23Camera", "cm32", usbPath("0289"), false},
        {"Cm33Camera", "Cm31Camera", "CM33", usbPath("028a"), false},
        {"Cm34Camera", "Cm23Camera", "CM34", usbPath("028b"), false},
        {"Cm01NetCamera", "NewNetCamera", "cm01Net", "CM01_IPC", true},
        {"Cm02NetCamera", "Cm01NetCamera", "cm02Net", "CM02_IPC", true},
        {"Cm02UNetCamera", "Cm01NetCamera", "cm02UNet", "CM02U_IPC", true},
        {"Cm03NetCamera", "Cm01NetCamera", "cm03Net", "CM03_IPC", true},
        {"Cm04NetCamera", "Cm01NetCamera", "cm04Net", "CM04_IPC", true},
        {"Cm05NetCamera", "Cm01NetCamera", "cm05Net", "CM05_IPC", true},
        {"Cm06NetCamera", "Cm01NetCamera", "cm06Net", "CM06_IPC", true},
        {"Cm08NetCamera", "NewNetCamera", "cm08Net", "CM08_IPC", true},
        {"Cm09NetCamera", "Cm08NetCamera", "cm09Net", "CM09_IPC", true},
        {"Cm10NetCamera", "Cm11NetCamera", "cm10Net", "CM10_IPC", true},
        {"Cm11NetCamera", "NetCamera", "cm11Net", "CM11_IPC", true},
        {"Cm12NetCamera", "Cm11NetCamera", "cm12Net", "CM12_IPC", true},
        {"Cm13NetCamera", "NetCamera", "CM13Net", "CM13_IPC", true},
        {"Cm14NetCamera", "NetCamera", "cm14Net", "CM14_IPC", true},
        {"Cm15NetCamera", "NetCamera", "cm15Net", "CM15_IPC", true},
        {"Cm16NetCamera", "Cm15NetCamera", "cm16Net", "CM16_IPC", true},
        {"Cm17NetCamera", "Cm21NetCamera", "cm17Net", "CM17_IPC", true},
        {"Cm18NetCamera", "Cm21NetCamera", "cm18Net", "CM18_IPC", true},
        {"Cm19NetCamera", "Cm22NetCamera", "cm19Net", "CM19_IPC", true},
        {"Cm20NetCamera", "Cm19NetCamera", "cm20Net", "CM20_IPC", true},
        {"Cm21NetCamera", "NetCamera", "cm21Net", "CM21_IPC", true},
        {"Cm22NetCamera", "NewNetCamera", "cm22Net", "CM22_IPC", true},
    };
}

std::shared_ptr<BaseCamera> create(const QString &key, bool network)
{
    CameraOpenInfo info;
    info.isNetCamera = network;
    if (network)
        info.model = key;
    else
        info.cameraResolution.devicePath = key;
    return createCamera(info);
}

QString classOf(const std::shared_ptr<BaseCamera> &camera)
{
    return camera ? QString::fromLatin1(camera->metaObject()->className()) : QString();
}

} // namespace

class TestCameraModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // Cameras save their configuration record when they go.
        qputenv("XDG_DATA_HOME", m_dir.path().toUtf8());
    }

    void factoryPrecedence_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("network");
        QTest::addColumn<QString>("expected");

        QTest::newRow("cm02uNetIsNotCm02Net") << "CM02U_IPC" << true << "Cm02UNetCamera";
        QTest::newRow("netKeyBeforeUsbText") << "cm08 CM08_IPC" << true << "Cm08NetCamera";
        QTest::newRow("cm21NetBeforeEverything") << "cm08 CM21_IPC CM14_IPC" << true << "Cm21NetCamera";
        QTest::newRow("cm14NetBeforeCm17Net") << "CM17_IPC CM14_IPC" << true << "Cm14NetCamera";
        QTest::newRow("cm17ProductIdBeforeCm08Text") << usbPath("0217", "cm08") << false << "Cm17UCamera";
        QTest::newRow("cm08TextBeforeCm23ProductId") << usbPath("0280", "cm08") << false << "Cm08UCamera";
        QTest::newRow("cm10BeforeCm09") << usbPath("0000", "cm09cm10") << false << "Cm10UCamera";
        QTest::newRow("cm25ProductIdBeforeCm23") << usbPath("0282", "0280") << false << "Cm25Camera";
        QTest::newRow("cm01UsbBeforeCm01Net") << "cm01 CM01_IPC" << true << "Cm01UCamera";
        QTest::newRow("cm06NetBeforeCm06Usb") << "cm06 CM06_IPC" << true << "Cm06NetCamera";
        QTest::newRow("cm02UsbBeforeCm02UNet") << "cm02 CM02U_IPC" << true << "Cm02UCamera";
        QTest::newRow("cm15ProductIdBeforeCm02UNet") << usbPath("0215", "CM02U_IPC") << false << "Cm15UCamera";
        QTest::newRow("cm27AfterCm22Net") << usbPath("0284", "CM22_IPC") << false << "Cm22NetCamera";
        QTest::newRow("usbRecordUsesDevicePathNotModel") << usbPath("0283") << false << "Cm26Camera";
        QTest::newRow("caseSensitiveNetKey") << "cm21_ipc" << true << "";
        QTest::newRow("caseSensitiveUsbText") << usbPath("0000", "CM08") << false << "";
        QTest::newRow("upperCaseProductId") << usbPath("028A") << false << "";
        QTest::newRow("unknownProductId") << usbPath("0a10", "aa") << false << "";
        QTest::newRow("usbModelKnownOnlyByText") << usbPath("0201") << false << "";
        QTest::newRow("unknownNetModel") << "CM99_IPC" << true << "";
        QTest::newRow("empty") << "" << true << "";
    }

    void factoryPrecedence()
    {
        QFETCH(QString, key);
        QFETCH(bool, network);
        QFETCH(QString, expected);

        QCOMPARE(classOf(create(key, network)), expected);
    }

    // Where one key starts another, ignoring case ("cm05" and "CM05_IPC"), the longer key's own
    // name must still create its own model.
    void longerKeyWinsOverItsPrefix()
    {
        const QVector<QPair<QString, QString>> keys = cameraFactoryKeys();
        int pairs = 0;
        for (const auto &shorter : keys) {
            for (const auto &longer : keys) {
                if (longer.first.size() > shorter.first.size() &&
                    longer.first.startsWith(shorter.first, Qt::CaseInsensitive)) {
                    ++pairs;
                    QCOMPARE(classOf(createCameraForKey(longer.first)), longer.second);
                }
            }
        }
        QVERIFY(pairs >= 6);
    }

    void everyModelThroughFactory_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("network");
        QTest::addColumn<QString>("baseClass");
        QTest::addColumn<QString>("modelKey");
        for (const ModelCase &model : modelCases())
            QTest::newRow(model.className) << model.key << model.network << model.baseClass << model.modelKey;
    }

    void everyModelThroughFactory()
    {
        QFETCH(QString, key);
        QFETCH(bool, network);
        QFETCH(QString, baseClass);
        QFETCH(QString, modelKey);

        // A network flag makes the factory read the model text and ignore the device path.
        CameraOpenInfo openInfo;
        openInfo.isNetCamera = network;
        openInfo.model = network ? key : QStringLiteral("CM21_IPC");
        openInfo.cameraResolution.devicePath = network ? usbPath("0283") : key;
        const std::shared_ptr<BaseCamera> camera = createCamera(openInfo);
        QCOMPARE(classOf(camera), QString::fromLatin1(QTest::currentDataTag()));
        QCOMPARE(QString::fromLatin1(camera->metaObject()->superClass()->className()), baseClass);
        QCOMPARE(camera->modelKey(), modelKey);
        const CameraModelRow *row = cameraModelOf(camera.get());
        QVERIFY(row);
        QCOMPARE(QString::fromLatin1(row->baseClassName), baseClass);
        QCOMPARE(row->productId == 0, network);

        // MJPEG only until the device is asked; the live and the database resolution are offered.
        const CameraInfo info = camera->cameraInfo();
        QCOMPARE(info.formats, QVector<int>{0});
        const QVector<CameraResolution> offered = info.resolutions.value(0);
        QVERIFY(offered.size() >= 2);
        for (int i = 1; i < offered.size(); ++i)
            QVERIFY(offered[i - 1].pixelCount() < offered[i].pixelCount());
        QCOMPARE(info.current.resolution, QString::fromLatin1(row->liveResolution));
        QVERIFY(indexOfPixelCount(offered, info.current.pixelCount()) >= 0);
        const CameraResolution stored = cameraResolutionFromText(QLatin1String(row->defaults.resolution));
        QVERIFY(indexOfPixelCount(offered, stored.pixelCount()) >= 0);
        QCOMPARE(camera->openInfo().cameraResolution.resolution, info.current.resolution);
    }

    void defaultRowsFitTheDatabase()
    {
        QTemporaryDir dir;
        CameraDatabase db(dir.path());
        QVERIFY(db.open());
        // The statement text runs on a second connection to the same file.
        QSqlDatabase text = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("statements"));
        text.setDatabaseName(db.filePath());
        QVERIFY(text.open());
        int count = 0;
        const CameraModelRow *rows = cameraModelRows(&count);
        for (int i = 0; i < count; ++i) {
            const CameraModelRow &model = rows[i];
            const QString key = QString::fromLatin1(model.className);
            QVERIFY2(db.seedIfMissing(key, model.defaults), model.className);
            const std::optional<QVariantMap> row = db.findRow(key);
            QVERIFY2(row, model.className);
            for (const QString &column : CameraDatabase::parameterColumns())
                QVERIFY2(!row->value(column).isNull(), qPrintable(key + "." + column));
            // The stored resolution is one the model offers, for stream and photo alike.
            const QString resolution = row->value("resolution").toString();
            QCOMPARE(row->value("pictureResolution").toString(), resolution);
            QVERIFY2(indexOfPixelCount(cameraModelResolutions(model),
                                       cameraResolutionFromText(resolution).pixelCount()) >= 0,
                     model.className);

            QSqlQuery query(text);
            QVERIFY2(query.exec(CameraDatabase::defaultRowStatement(model.defaults).arg(key + "/text")),
                     qPrintable(query.lastError().text()));
            const QVariantMap fromText = db.findRow(key + "/text").value_or(QVariantMap());
            for (const QString &column : CameraDatabase::parameterColumns())
                QVERIFY2(fromText.value(column).toString() == row->value(column).toString(),
                         qPrintable(key + "." + column));
        }
        text.close();
        text = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("statements"));
    }

    void usbRows()
    {
        // The USB camera reads upgrade keys and the compact flag through the product id.
        int count = 0;
        const CameraModelRow *rows = cameraModelRows(&count);
        QSet<int> seen;
        for (int i = 0; i < count; ++i) {
            const CameraModelRow &row = rows[i];
            if (row.productId == 0)
                continue;
            QVERIFY2(row.productId > 0 && row.productId <= 0xffff && !seen.contains(row.productId), row.className);
            seen.insert(row.productId);
            const QString text = productIdText(row.productId);
            QCOMPARE(text, text.toLower());
            QCOMPARE(text.size(), 4);
            const UsbModelEntry *entry = findUsbModel(row.productId);
            QVERIFY2(entry && QLatin1String(entry->modelClass) == QLatin1String(row.className), row.className);
            // A firmware file names the model it is for; the third family is the compact one.
            const QString number = QString::fromLatin1(row.className).mid(2, 2);
            if (entry->upgradeKey)
                QVERIFY2(QString::fromLatin1(entry->upgradeKey).startsWith("cm" + number), row.className);
            QCOMPARE(entry->compact, number.toInt() >= 23);
            QCOMPARE(productIdFromDevicePath(usbPath(text)), row.productId);
        }
        QCOMPARE(seen.size(), 32);
        QCOMPARE(count, 54);
        QCOMPARE(QString::fromLatin1(findUsbModel(0x0201)->upgradeKey), QStringLiteral("cm01u"));
        QVERIFY(!findUsbModel(0x0a10));
        QVERIFY(!findCameraModelByProductId(0));
    }

    void builtInDefaults()
    {
        const std::shared_ptr<BaseCamera> cm02u = create(usbPath("0202", "cm02"), false);
        QCOMPARE(cm02u->cameraInfo().current.resolution, QStringLiteral("1280x720"));
        QStringList texts;
        for (const CameraResolution &resolution : cm02u->cameraInfo().resolutions.value(0))
            texts << resolution.resolution;
        QCOMPARE(texts, (QStringList{"1280x720", "1920x1080"}));

        const CameraInfo cm18 = create(usbPath("0218"), false)->cameraInfo();
        QCOMPARE(cm18.photo.resolution, QStringLiteral("3840x2160"));
        QCOMPARE(cm18.photo.width, 3840);
        QCOMPARE(cm18.wbRed.def, 512);
        QCOMPARE(cm18.wbGreen.def, 256);
        QCOMPARE(cm18.wbBlue.def, 478);

        // Its siblings keep the USB camera's built-in white balance.
        const CameraInfo cm17 = create(usbPath("0217"), false)->cameraInfo();
        QCOMPARE(cm17.wbRed.def, 628);
        QCOMPARE(cm17.wbBlue.def, 421);
        QCOMPARE(cm17.photo.resolution, cm17.current.resolution);

        // Called again (a reset), the model's own defaults come back.
        Cm18UCamera camera;
        camera.initDefaultInfo();
        QCOMPARE(camera.cameraInfo().photo.resolution, QStringLiteral("3840x2160"));
        QCOMPARE(camera.cameraInfo().wbBlue.def, 478);
    }

    void modelList()
    {
        const QJsonArray list = cameraModelList();
        QCOMPARE(list.size(), 54);
        QMap<QString, QJsonObject> byClass;
        for (const QJsonValue &value : list)
            byClass.insert(value.toObject().value("class").toString(), value.toObject());
        QCOMPARE(byClass.size(), 54);

        const QJsonObject cm26 = byClass.value("Cm26Camera");
        QCOMPARE(cm26.value("baseClass").toString(), QStringLiteral("Cm25Camera"));
        QCOMPARE(cm26.value("modelKey").toString(), QStringLiteral("cm26"));
        QCOMPARE(cm26.value("productId").toString(), QStringLiteral("0283"));
        QCOMPARE(cm26.value("firmwareKey").toString(), QStringLiteral("cm26"));
        QCOMPARE(cm26.value("resolution").toString(), QStringLiteral("5440x3648"));
        QCOMPARE(cm26.value("fps").toInt(), 20);

        QVERIFY(byClass.value("Cm34Camera").value("firmwareKey").isNull());
        QCOMPARE(byClass.value("Cm33Camera").value("productId").toString(), QStringLiteral("028a"));
        const QJsonObject cm13 = byClass.value("Cm13NetCamera");
        QVERIFY(cm13.value("productId").isNull());
        QVERIFY(cm13.value("firmwareKey").isNull());
        QCOMPARE(cm13.value("modelKey").toString(), QStringLiteral("CM13Net"));
        QCOMPARE(cm13.value("fps").toInt(), 25);
    }

    void everyFamilyWithoutHardware()
    {
        // The shipped virtual devices: one camera of each USB family.
        QFile file(QStringLiteral(LUMORA_TEST_SOURCE_DIR "/../../sdk/lmcam/virtual-devices.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray devices = QJsonDocument::fromJson(file.readAll()).object().value("devices").toArray();
        QSet<QString> usbFamilies;
        for (const QJsonValue &device : devices) {
            const QString name = device.toObject().value("name").toString();
            const std::shared_ptr<BaseCamera> camera = createCameraForKey(name);
            QVERIFY2(camera, qPrintable(name));
            for (const char *family : {"Cm01UCamera", "Cm07Camera", "Cm08UCamera", "Cm23Camera"}) {
                if (camera->inherits(family))
                    usbFamilies << QLatin1String(family);
            }
        }
        QCOMPARE(usbFamilies.size(), 4);

        // The simulator's presets: both command sets, each matching the class the program makes.
        QProcess sim;
        sim.start(QStringLiteral(NETCAM_SIM_PROGRAM), {QStringLiteral("--list-presets")});
        QVERIFY(sim.waitForFinished(10000));
        QCOMPARE(sim.exitCode(), 0);
        QSet<bool> commandSets;
        for (const QByteArray &line : sim.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() < 3)
                continue;
            const std::shared_ptr<BaseCamera> camera = createCameraForKey(QString::fromLatin1(fields[1]));
            QVERIFY2(camera, fields[1].constData());
            const bool newCommands = fields[2] == "new";
            QVERIFY2(camera->inherits("NewNetCamera") == newCommands, fields[0].constData());
            commandSets << newCommands;
        }
        QCOMPARE(commandSets.size(), 2);
    }

    void firmwareVersionTexts()
    {
        // Hundreds, tens and units: a version above 999 keeps all its hundreds in the first part.
        const QList<QPair<int, QString>> cases{
            {142, "1.4.2"}, {5, "0.0.5"}, {110, "1.1.0"}, {1203, "12.0.3"}, {0, "0.0.0"}};
        for (const auto &c : cases)
            QCOMPARE(firmwareVersionText(c.first), c.second);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCameraModels)
#include "tst_cameramodels.moc"
