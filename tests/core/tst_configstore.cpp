#include "configstore.h"
#include "fullvolume.h"

#include <QColor>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

Q_DECLARE_METATYPE(ConfigFile)

namespace {

const QColor red(255, 0, 0, 255);
const QDateTime oldTime(QDate(2001, 1, 1), QTime(12, 0), Qt::UTC);

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}

// Dates the file back so that any rewrite shows in its modification time.
void ageFile(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.setFileTime(oldTime, QFileDevice::FileModificationTime));
}

QDateTime modified(const QString &path)
{
    return QFileInfo(path).fileTime(QFileDevice::FileModificationTime);
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QString pictures()
{
    return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + "/Lumora Test";
}

} // namespace

class TestConfigStore : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_xdg.isValid());
        qputenv("XDG_DATA_HOME", m_xdg.path().toLocal8Bit());
        QCoreApplication::setApplicationName("lumora");
        QGuiApplication::setApplicationDisplayName("Lumora Test");
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void groupTable()
    {
        QSet<QString> sections;
        for (int g = 0; g < ConfigGroupCount; ++g) {
            const ConfigGroup group = ConfigGroup(g);
            const ConfigGroupInfo &info = configGroupInfo(group);
            QCOMPARE(info.group, group);
            // Only the logical display options have no section of their own.
            QCOMPARE(info.name.isEmpty(), group == ConfigGroup::DisplayOptions);
            QVERIFY2(info.name.isEmpty() || !sections.contains(info.name), qPrintable(info.name));
            sections.insert(info.name);
            QSet<QString> texts;
            for (auto it = info.keys.begin(); it != info.keys.end(); ++it) {
                QVERIFY2(!it.value().isEmpty(), qPrintable(info.name));
                QCOMPARE(configKeyText(group, it.key()), it.value());
                if (group == ConfigGroup::Draw)
                    QCOMPARE(drawPropertyName(DrawProperty(it.key())), it.value());
                // Two keys with one text would share a stored value; only the calibration aliases may.
                const bool alias = group == ConfigGroup::Settings &&
                                   (it.key() == SettingsKey::Reserved9 || it.key() == SettingsKey::Reserved10);
                QVERIFY2(alias || !texts.contains(it.value()), qPrintable(info.name + "/" + it.value()));
                texts.insert(it.value());
            }
            QVERIFY(configKeyText(group, -1).isEmpty());
            QVERIFY(configKeyText(group, info.keys.isEmpty() ? 0 : info.keys.lastKey() + 1).isEmpty());
        }
        // Stored files are read by other versions: the sections keep their files.
        QCOMPARE(configGroupInfo(ConfigGroup::Settings).file, ConfigFile::Calibration);
        QCOMPARE(configGroupInfo(ConfigGroup::UserInfo).file, ConfigFile::UserInfo);
        QCOMPARE(configGroupInfo(ConfigGroup::Draw).keys.size(), 681); // one identifier is missing from the range
    }

    void drawDefaultsOnEmptyFile_data()
    {
        QTest::addColumn<DrawProperty>("property");
        QTest::addColumn<QVariant>("expected"); // invalid: the store supplies nothing

        using P = DrawProperty;
        const QVariant none;
        const QColor clear(0, 0, 0, 0);
        const auto row = [](P p, const QVariant &v) { QTest::addRow("%s", qPrintable(drawPropertyName(p))) << p << v; };
        // One row per kind of default: none, colour, clear colour, flag, number, folder.
        row(P::PointWidth, none);
        row(P::PointColor, red);
        row(P::LineShowLength, true);
        row(P::LineShowPaintGuideLine, 1);
        row(P::AnyLineStackedClosingLength, false);
        row(P::TwoCircleFillColor, clear);
        row(P::CircleFillColor, none);
        row(P::MeasureScaleTextSize, 13);
        row(P::QuickSavePath, pictures());
        row(P::DefaultTextSize, 16);
        row(P::DefaultLineWidth, 2);
    }

    void drawDefaultsOnEmptyFile()
    {
        QFETCH(DrawProperty, property);
        QFETCH(QVariant, expected);
        ConfigStore store(data(), program());
        const QMap<int, QVariant> draw = store.read(ConfigGroup::Draw);
        QCOMPARE(draw.contains(int(property)), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(draw.value(int(property)).userType(), expected.userType());
            QCOMPARE(draw.value(int(property)), expected);
        }
        QSettings ini(store.configIniPath(), QSettings::IniFormat);
        QVERIFY2(!ini.childGroups().contains("draw"), "defaults of \"draw\" are supplied, not written");
    }

    void storedQuickSavePathWins()
    {
        {
            QSettings ini(data() + "/config.ini", QSettings::IniFormat);
            ini.setValue("draw/QuickSavePath", "/srv/quick");
            ini.setValue("draw/LineColor", QColor(0, 0, 255));
        }
        ConfigStore store(data(), program());
        QCOMPARE(store.value(DrawProperty::QuickSavePath).toString(), QString("/srv/quick"));
        QCOMPARE(store.value(DrawProperty::LineColor), QVariant(QColor(0, 0, 255)));
        QCOMPARE(store.value(DrawProperty::CircleColor), QVariant(red));
    }

    void baseDefaultsOnFirstStart_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QVariant>("expected"); // invalid: must stay absent

        const auto folder = [](QStandardPaths::StandardLocation l) {
            return QStandardPaths::writableLocation(l) + "/Lumora Test";
        };
        QTest::newRow("UpgradeFilePath") << int(BaseKey::UpgradeFilePath)
                                         << QVariant(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
        QTest::newRow("OpenedImgPath") << int(BaseKey::OpenedImgPath) << QVariant(pictures());
        QTest::newRow("SaveImgPath") << int(BaseKey::SaveImgPath) << QVariant(pictures());
        QTest::newRow("SaveAsImgPath") << int(BaseKey::SaveAsImgPath) << QVariant(pictures());
        QTest::newRow("OpenedVideoPath") << int(BaseKey::OpenedVideoPath)
                                         << QVariant(folder(QStandardPaths::MoviesLocation));
        QTest::newRow("exportFilePath") << int(BaseKey::ExportFilePath)
                                        << QVariant(folder(QStandardPaths::DocumentsLocation));
        QTest::newRow("StayUnlocked") << int(BaseKey::StayUnlocked) << QVariant("false");
        QTest::newRow("BatchExportToAFile") << int(BaseKey::BatchExportToAFile) << QVariant("false");
        for (int key : {BaseKey::UnlockPassword, BaseKey::PasswordPrompt, BaseKey::MainInterfaceLeftPos,
                        BaseKey::MainInterfaceRightPos, BaseKey::InterfaceStyleProperty, BaseKey::CompressionEnabled})
            QTest::addRow("%s stays absent", qPrintable(configKeyText(ConfigGroup::Base, key))) << key << QVariant();
    }

    void baseDefaultsOnFirstStart()
    {
        QFETCH(int, key);
        QFETCH(QVariant, expected);
        ConfigStore store(data(), program());
        QSettings ini(store.configIniPath(), QSettings::IniFormat);
        const QString path = "base/" + configKeyText(ConfigGroup::Base, key);
        QCOMPARE(ini.contains(path), expected.isValid());
        if (expected.isValid()) {
            QCOMPARE(ini.value(path), expected);
            QCOMPARE(store.read(ConfigGroup::Base).value(key), expected);
        }
    }

    void firstStartKeepsStoredValues()
    {
        {
            QSettings ini(data() + "/config.ini", QSettings::IniFormat);
            ini.setValue("base/SaveImgPath", "/home/op/own");
            ini.setValue("base/StayUnlocked", true);
            ini.setValue("control_interface_state/ShowFFCWidget", true);
            ini.setValue("industry_display_options/EnableOptionSlowShutter", true);
        }
        ConfigStore store(data(), program());
        QSettings ini(store.configIniPath(), QSettings::IniFormat);
        QCOMPARE(ini.value("base/SaveImgPath").toString(), QString("/home/op/own"));
        QCOMPARE(ini.value("base/StayUnlocked").toBool(), true);
        QCOMPARE(ini.value("base/OpenedImgPath").toString(), pictures());
        QCOMPARE(ini.value("control_interface_state/ShowFFCWidget").toBool(), true);
        QCOMPARE(ini.value("control_interface_state/ShowLedWidget").toString(), QString("false"));
        QCOMPARE(ini.value("industry_display_options/EnableOptionColorComposite").toString(), QString("false"));
        QCOMPARE(ini.value("biology_display_options/EnableOptionColorComposite").toString(), QString("true"));
        QCOMPARE(ini.value("industry_display_options/EnableOptionSlowShutter").toBool(), true);
    }

    void sceneModeSwitchesDisplayOptions()
    {
        const auto falseKeys = [](const QMap<int, QVariant> &options) {
            QList<int> keys;
            for (int key = 0; key < DisplayOptionsKey::KeyCount; ++key) {
                if (!options.value(key, true).toBool())
                    keys << key;
            }
            return keys;
        };
        ConfigStore store(data(), program());
        QCOMPARE(falseKeys(store.read(ConfigGroup::DisplayOptions)), QList<int>({0, 1, 2}));

        store.write(ConfigGroup::Camera, CameraKey::SceneMode, 1);
        QCOMPARE(falseKeys(store.read(ConfigGroup::DisplayOptions)), QList<int>({0, 1, 2, 5, 7, 24, 28}));

        // Writes follow the mode too.
        store.write(ConfigGroup::DisplayOptions, DisplayOptionsKey::EnableOptionHue, false);
        QSettings ini(store.configIniPath(), QSettings::IniFormat);
        QCOMPARE(ini.value("industry_display_options/EnableOptionHue").toBool(), false);
        QCOMPARE(ini.value("biology_display_options/EnableOptionHue").toBool(), true);

        store.write(ConfigGroup::Camera, CameraKey::SceneMode, 0);
        QCOMPARE(falseKeys(store.read(ConfigGroup::DisplayOptions)), QList<int>({0, 1, 2}));

        // A fresh store starts in the stored mode.
        store.write(ConfigGroup::Camera, CameraKey::SceneMode, 1);
        ConfigStore fresh(data(), program());
        QCOMPARE(falseKeys(fresh.read(ConfigGroup::DisplayOptions)), QList<int>({0, 1, 2, 5, 7, 11, 24, 28}));
    }

    void equalWriteLeavesFileUntouched_data()
    {
        QTest::addColumn<ConfigGroup>("group");
        QTest::addColumn<int>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("other");
        QTest::addColumn<QString>("file");

        const auto row = [](const char *name, ConfigGroup group, int key, const QVariant &value, const QVariant &other,
                            const char *file = "config.ini") {
            QTest::newRow(name) << group << key << value << other << file;
        };
        row("int", ConfigGroup::Snap, SnapKey::RemainingTime, 42, 43);
        row("bool", ConfigGroup::ControlInterfaceState, ControlInterfaceStateKey::ShowLedWidget, true, false);
        row("colour", ConfigGroup::Draw, int(DrawProperty::LineColor), QColor(10, 20, 30, 40), QColor(10, 20, 30));
        row("map", ConfigGroup::CommonTool, CommonToolKey::CommonTool,
            QVariantMap{{"Line", 1}, {"Circle", QVariantList{1, 2}}}, QVariantMap{{"Line", 2}});
        row("calibration settings", ConfigGroup::Settings, SettingsKey::SavePath, "/cal", "/cal2", "calibration.ini");
    }

    void equalWriteLeavesFileUntouched()
    {
        QFETCH(ConfigGroup, group);
        QFETCH(int, key);
        QFETCH(QVariant, value);
        QFETCH(QVariant, other);
        QFETCH(QString, file);
        const QString path = data() + "/" + file;
        const QString config = data() + "/config.ini";

        ConfigStore first(data(), program());
        first.write(group, key, value);
        ageFile(path);
        ageFile(config);
        const QByteArray before = fileBytes(path);
        const QByteArray configBefore = fileBytes(config);

        first.write(group, key, value);
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(modified(path), oldTime);

        // A fresh store compares with what it parsed from the file, and does not write its
        // start-up defaults again when they are all present.
        ConfigStore second(data(), program());
        second.write(group, key, value);
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(modified(path), oldTime);
        QCOMPARE(fileBytes(config), configBefore);
        QCOMPARE(modified(config), oldTime);

        second.write(group, key, other);
        QVERIFY(fileBytes(path) != before);
        QVERIFY(modified(path) != oldTime);
    }

    void valuesSurviveAFreshStore_data()
    {
        QTest::addColumn<ConfigGroup>("group");
        QTest::addColumn<int>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("iniKey"); // where it must land
        QTest::addColumn<QString>("file");

        const auto row = [](const char *name, ConfigGroup group, int key, const QVariant &value, const char *iniKey,
                            const char *file = "config.ini") {
            QTest::newRow(name) << group << key << value << iniKey << file;
        };
        const QVariantMap tools{{"Line", 3}, {"Tools", QVariantList{"Rect", "Arc"}}, {"Visible", true}};
        row("int", ConfigGroup::Snap, SnapKey::AutoNumberingDigits, 4, "snap/AutoNumberingDigits");
        row("bool", ConfigGroup::StatisticsProperty, StatisticsKey::Minimum, true,
            "StatisticsProperty/StatisticsMinimun");
        row("non-ASCII folder", ConfigGroup::Base, BaseKey::SaveImgPath,
            QString::fromUtf8("/home/op/Bilder/Präparate ü"), "base/SaveImgPath");
        row("colour", ConfigGroup::Watermask, WatermaskKey::TextColor, QColor(12, 34, 56, 78), "watermask/TextColor");
        row("draw flag off", ConfigGroup::Draw, int(DrawProperty::FivePointEllipseShoweEccentricity), false,
            "draw/FivePointEllipseShoweEccentricity");
        row("variant map", ConfigGroup::CommonTool, CommonToolKey::CommonTool, tools, "CommonTool/commontool");
        row("shortcut", ConfigGroup::Shortcut, ShortcutKey::HandMode, "Ctrl+H", "shortcut/HandMode");
        row("scheme name", ConfigGroup::CurConfigurationName, 0, "Night", "CurConfigurationName/CurConfigurationName");
        row("calibration", ConfigGroup::Settings, SettingsKey::CalibrateName, "10x", "settings/CalibrateName",
            "calibration.ini");
    }

    void valuesSurviveAFreshStore()
    {
        QFETCH(ConfigGroup, group);
        QFETCH(int, key);
        QFETCH(QVariant, value);
        QFETCH(QString, iniKey);
        QFETCH(QString, file);
        {
            ConfigStore writer(data(), program());
            writer.write(group, key, value);
            QCOMPARE(writer.value(group, key), value);
        }
        QVERIFY(QSettings(data() + "/" + file, QSettings::IniFormat).contains(iniKey));
        ageFile(data() + "/" + file); // makes Qt parse the file again rather than reuse its in-process copy

        ConfigStore reader(data(), program());
        QVariant got = reader.value(group, key);
        QVERIFY(got.isValid());
        if (value.userType() == QMetaType::QColor || value.userType() == QMetaType::QVariantMap)
            QCOMPARE(got.userType(), value.userType()); // stored with their own type
        QVERIFY(got.convert(value.userType()));
        QCOMPARE(got, value);
    }

    void settingsAliasesShareOneValue()
    {
        ConfigStore store(data(), program());
        store.write(ConfigGroup::Settings, SettingsKey::Reserved9, 20);
        const QMap<int, QVariant> settings = store.read(ConfigGroup::Settings);
        for (int key : {SettingsKey::MeasureScaleFontSize, SettingsKey::Reserved9, SettingsKey::Reserved10})
            QCOMPARE(settings.value(key).toInt(), 20);

        ConfigStore fresh(data(), program());
        QCOMPARE(fresh.value(ConfigGroup::Settings, SettingsKey::Reserved10).toInt(), 20);
    }

    void removingADrawKeyRestoresItsDefault()
    {
        ConfigStore store(data(), program());
        store.write(DrawProperty::LineWidth, 7);
        QCOMPARE(store.value(DrawProperty::LineWidth).toInt(), 7);
        store.write(DrawProperty::LineWidth, QVariant());
        QCOMPARE(store.value(DrawProperty::LineWidth), QVariant(1));
        QVERIFY(!QSettings(store.configIniPath(), QSettings::IniFormat).contains("draw/LineWidth"));
    }

    void nosepieceRoundTrip()
    {
        const QMap<int, int> lenses{{0, 4}, {2, 10}, {4, 40}};
        {
            ConfigStore store(data(), program());
            store.writeNosepiece(5, lenses);
        }
        const QString path = data() + "/calibration.ini";
        QSettings ini(path, QSettings::IniFormat);
        QCOMPARE(ini.value("nosepiece/nosepieceCount").toInt(), 5);
        QCOMPARE(ini.value("nosepiece/nosepieceData/size").toInt(), 3);
        QCOMPARE(ini.value("nosepiece/nosepieceData/3/magnification").toInt(), 40);

        ConfigStore store(data(), program());
        QCOMPARE(store.readNosepieceCount(), 5);
        QCOMPARE(store.readNosepiece(), lenses);
        QCOMPARE(store.value(ConfigGroup::Nosepiece, NosepieceKey::NosepieceCount).toInt(), 5);

        ageFile(path);
        store.writeNosepiece(5, lenses);
        QCOMPARE(modified(path), oldTime);

        // A shorter table replaces the old one entirely. The store reads its own writes back
        // through either door: the table and the group's key.
        store.writeNosepiece(3, {{1, 20}});
        QCOMPARE(store.value(ConfigGroup::Nosepiece, NosepieceKey::NosepieceCount).toInt(), 3);
        store.write(ConfigGroup::Nosepiece, NosepieceKey::NosepieceCount, 6);
        QCOMPARE(store.readNosepieceCount(), 6);
        ConfigStore fresh(data(), program());
        QCOMPARE(fresh.readNosepieceCount(), 6);
        QCOMPARE(fresh.readNosepiece(), (QMap<int, int>{{1, 20}}));
    }

    void hostileNosepieceArrayIsBounded()
    {
        writeFile(data() + "/calibration.ini", "[nosepiece]\nnosepieceCount=2\nnosepieceData\\size=2000000000\n"
                                               "nosepieceData\\1\\lensIndex=0\nnosepieceData\\1\\magnification=10\n");
        ConfigStore store(data(), program());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("nosepiece entries beyond 256 of 2000000000"));
        QCOMPARE(store.readNosepiece(), (QMap<int, int>{{0, 10}}));
    }

    void userInfoIsReadOnlyUtf8()
    {
        const QString deviceName = QString::fromUtf8("显微镜 Ω-200");
        const QString path = program() + "/customInformation/userInfo.ini";
        {
            ConfigStore store(data(), program());
            QVERIFY(store.readUserInfo().isEmpty());
        }
        writeFile(path, "[UserInfo]\nDeviceName=" + deviceName.toUtf8() + "\n");
        ConfigStore store(data(), program());
        QCOMPARE(store.userInfoIniPath(), path);
        QCOMPARE(store.readUserInfo().value(UserInfoKey::DeviceName).toString(), deviceName);

        const QByteArray before = fileBytes(path);
        QTest::ignoreMessage(QtWarningMsg, "ConfigStore. The group UserInfo is read only");
        store.write(ConfigGroup::UserInfo, UserInfoKey::DeviceName, "changed");
        QCOMPARE(fileBytes(path), before);
    }

    void instanceLivesInTheDataFolder()
    {
        ConfigStore &store = ConfigStore::instance();
        QCOMPARE(&store, &ConfigStore::instance());
        QCOMPARE(store.configIniPath(), m_xdg.path() + "/lumora/config.ini");
        QCOMPARE(store.calibrationIniPath(), m_xdg.path() + "/lumora/calibration.ini");
        QCOMPARE(store.crossIniPath(), m_xdg.path() + "/lumora/cross.ini");
        QCOMPARE(store.configurationSchemePath(), m_xdg.path() + "/lumora/ConfigurationScheme.json");
        QCOMPARE(store.cameraConfigurationPath(), m_xdg.path() + "/lumora/CameraConfiguration.json");
        QVERIFY(QSettings(store.configIniPath(), QSettings::IniFormat).contains("base/OpenedImgPath"));
    }

    void concurrentWritersKeepEveryValue()
    {
        ConfigStore store(data(), program());
        constexpr int writers = 4;
        QVector<QThread *> threads;
        for (int t = 0; t < writers; ++t) {
            threads << QThread::create([&store, t] {
                for (int i = 0; i < 50; ++i) {
                    store.write(ConfigGroup::ScanRegion, ScanRegionKey::ScanX + t, i);
                    store.read(ConfigGroup::DisplayOptions);
                }
            });
            threads.last()->start();
        }
        for (QThread *thread : threads) {
            QVERIFY(thread->wait(30000));
            delete thread;
        }
        ConfigStore fresh(data(), program());
        for (int t = 0; t < writers; ++t)
            QCOMPARE(fresh.value(ConfigGroup::ScanRegion, ScanRegionKey::ScanX + t).toInt(), 49);
    }

    void readCameraConfigurationFailures_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("warning"); // a pattern; empty: silent

        const QByteArray valid = R"({"CamA": {"Exposure": 10}, "CamB": 5})";
        const auto row = [](const char *name, const QByteArray &content, const char *camera, const char *warning = "") {
            QTest::newRow(name) << content << camera << warning;
        };
        row("empty name", valid, "", "^readCameraConfiguration. cameraName is empty$");
        row("missing file", QByteArray(), "CamA", "^readCameraConfiguration. Failed to open configuration file$");
        row("corrupt file", R"({"CamA": {"Exposure": )", "CamA",
            "^readCameraConfiguration. Failed to parase camera configuration, error=\\w.+$");
        row("member is not an object", valid, "CamB");
        row("unknown camera", valid, "CamC");
    }

    void readCameraConfigurationFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QString, warning);
        ConfigStore store(data(), program());
        if (!content.isNull())
            writeFile(store.cameraConfigurationPath(), content);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        QVERIFY(store.readCameraConfiguration(name).isEmpty());
    }

    void saveCameraConfigurationKeepsOtherCameras()
    {
        ConfigStore store(data(), program());
        const QJsonObject a{{"Exposure", 10}, {"Gain", 2.5}};
        const QJsonObject b{{"Exposure", 99}};
        const QJsonObject a2{{"Exposure", 11}, {"Leds", QJsonArray{1, 0, 1}}};
        QVERIFY(store.saveCameraConfiguration("CamA", a));
        QVERIFY(store.saveCameraConfiguration("CamB", b));
        QVERIFY(store.saveCameraConfiguration("CamA", a2));
        QCOMPARE(store.readCameraConfiguration("CamA"), a2);
        QCOMPARE(store.readCameraConfiguration("CamB"), b);
        const QJsonObject root = QJsonDocument::fromJson(fileBytes(store.cameraConfigurationPath())).object();
        QCOMPARE(root.keys(), QStringList({"CamA", "CamB"}));
    }

    void saveCameraConfigurationRefusals_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file
        QTest::addColumn<QString>("name");
        QTest::addColumn<QJsonObject>("configuration");
        QTest::addColumn<QString>("warning");

        const QByteArray valid = R"({"CamA": {"Exposure": 10}})";
        const QJsonObject object{{"Exposure", 5}};
        const QString empty = "^saveCameraConfiguration. cameraName or configuration is empty$";
        const QString damaged = "^saveCameraConfiguration. Existing configuration file cannot be read, it is left "
                                "unchanged, error=\\w.+$";
        QTest::newRow("empty name") << valid << "" << object << empty;
        QTest::newRow("empty object") << valid << "CamA" << QJsonObject() << empty;
        QTest::newRow("empty object, no file") << QByteArray() << "CamA" << QJsonObject() << empty;
        QTest::newRow("corrupt file is not overwritten")
            << QByteArray(R"({"CamA": {"Exposure": 1)") << "CamB" << object << damaged;
        QTest::newRow("top level array") << QByteArray("[1, 2]") << "CamB" << object << damaged;
    }

    void saveCameraConfigurationRefusals()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(QJsonObject, configuration);
        QFETCH(QString, warning);
        ConfigStore store(data(), program());
        const QString path = store.cameraConfigurationPath();
        if (!content.isNull())
            writeFile(path, content);
        const QByteArray before = fileBytes(path);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(warning));
        QVERIFY(!store.saveCameraConfiguration(name, configuration));
        QCOMPARE(fileBytes(path), before);
    }

    void saveCameraConfigurationWriteFailure()
    {
        ConfigStore store(data(), program());
        // The data folder turns into a plain file: nothing can be created inside it.
        QVERIFY(QDir(data()).removeRecursively());
        writeFile(data(), "not a folder");
        QTest::ignoreMessage(QtWarningMsg, "saveCameraConfiguration. Failed to write configuration file");
        QVERIFY(!store.saveCameraConfiguration("CamA", {{"Exposure", 5}}));
        QCOMPARE(fileBytes(data()), QByteArray("not a folder"));
    }

    void fullVolumeKeepsEveryFile_data()
    {
        QTest::addColumn<int>("file");
        QTest::addColumn<QString>("operationWarning"); // besides the line naming the file and the reason
        QTest::newRow("CameraConfiguration.json") << 0 << "saveCameraConfiguration. Failed to write configuration file";
        QTest::newRow("ConfigurationScheme.json")
            << 1 << "saveConfigurationScheme. Failed to write configuration scheme file";
        QTest::newRow("config.ini") << 2 << "";
        QTest::newRow("calibration.ini") << 3 << "";
    }

    void fullVolumeKeepsEveryFile()
    {
        QFETCH(int, file);
        QFETCH(QString, operationWarning);
        ConfigStore store(data(), program());
        // INI writes report only through saveFailed.
        const std::function<bool(int)> saves[] = {
            [&](int v) {
                return store.saveCameraConfiguration("CamA", {{"Exposure", v}});
            },
            [&](int v) {
                return store.saveConfigurationScheme("Cm02", "Day", QVariantMap{{"Hue", v}});
            },
            [&](int v) {
                store.write(ConfigGroup::Snap, SnapKey::MergeTextScale, v);
                return false;
            },
            [&](int v) {
                store.writeNosepiece(v, {{0, v}});
                return false;
            },
        };
        const QString paths[] = {store.cameraConfigurationPath(), store.configurationSchemePath(),
                                 store.configIniPath(), store.calibrationIniPath()};
        const QString path = paths[file];
        saves[file](1);
        const QByteArray before = fileBytes(path);

        QSignalSpy failed(&store, &ConfigStore::saveFailed);
        for (int i = 0; i < 2; ++i) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(path) + ": \\w"));
            if (!operationWarning.isEmpty())
                QTest::ignoreMessage(QtWarningMsg, qPrintable(operationWarning));
        }
        bool saved[2] = {true, true};
        {
            FullVolume full;
            saved[0] = saves[file](2);
            saved[1] = saves[file](3);
        }
        QVERIFY(!saved[0] && !saved[1]);
        QCOMPARE(fileBytes(path), before);
        QCOMPARE(failed.size(), 1); // once, not once per attempt
        QCOMPARE(failed.first().first().toString(), path);
    }

    void configurationSchemeLifecycle()
    {
        ConfigStore store(data(), program());
        QVERIFY(store.readConfigurationSchemes("Cm02").isEmpty()); // no file yet: silent and empty
        QVERIFY(store.saveConfigurationScheme("Cm02", "Day", QVariantMap{{"ExposureTime", 100}, {"Hue", -5}}));
        QVERIFY(store.saveConfigurationScheme("Cm02", "Night", QJsonObject{{"ExposureTime", 2000.5}, {"Negative", 1}}));
        QVERIFY(store.saveConfigurationScheme("Other", "Day", QVariantMap{{"Hue", 7}}));

        QCOMPARE(store.configurationSchemeNames("Cm02"), QStringList({"Day", "Night"}));
        QCOMPARE(store.readConfigurationScheme("Cm02", "Night").value("ExposureTime").toDouble(), 2000.5);
        QCOMPARE(store.readConfigurationSchemes("Cm02").value("Day").value("Hue").toInt(), -5);
        const QJsonObject root = QJsonDocument::fromJson(fileBytes(store.configurationSchemePath())).object();
        QCOMPARE(root.value("AllCamear")["Cm02"]["Day"]["ExposureTime"].toDouble(), 100.0);

        QVERIFY(store.saveConfigurationScheme("Cm02", "Day", QVariantMap{{"Hue", 3}})); // overwrite
        QCOMPARE(store.readConfigurationScheme("Cm02", "Day"), (QVariantMap{{"Hue", 3.0}}));

        QVERIFY(store.renameConfigurationScheme("Cm02", "Day", "Morning"));
        QCOMPARE(store.configurationSchemeNames("Cm02"), QStringList({"Morning", "Night"}));
        QTest::ignoreMessage(QtWarningMsg, "renameConfigurationScheme. Scheme Night of Cm02 already exists");
        QVERIFY(!store.renameConfigurationScheme("Cm02", "Morning", "Night"));
        QTest::ignoreMessage(QtWarningMsg, "renameConfigurationScheme. Scheme Day of Cm02 not found");
        QVERIFY(!store.renameConfigurationScheme("Cm02", "Day", "Noon"));

        QVERIFY(store.deleteConfigurationScheme("Cm02", "Night"));
        QTest::ignoreMessage(QtWarningMsg, "deleteConfigurationScheme. Scheme Night of Cm02 not found");
        QVERIFY(!store.deleteConfigurationScheme("Cm02", "Night"));
        QTest::ignoreMessage(QtWarningMsg, "readConfigurationScheme. Scheme Night of Cm02 not found");
        QVERIFY(store.readConfigurationScheme("Cm02", "Night").isEmpty());
        QCOMPARE(store.configurationSchemeNames("Cm02"), QStringList({"Morning"}));
        QVERIFY(store.deleteConfigurationScheme("Cm02", "Morning"));
        QCOMPARE(store.configurationSchemeNames("Other"), QStringList({"Day"}));
        const QJsonObject after = QJsonDocument::fromJson(fileBytes(store.configurationSchemePath())).object();
        QCOMPARE(after.value("AllCamear").toObject().keys(), QStringList({"Other"}));

        // Values that are not numbers are dropped; a scheme left with none, or no camera, is refused.
        QTest::ignoreMessage(QtWarningMsg, "Value for key Hue is not a real number and will be ignored.");
        QVERIFY(store.saveConfigurationScheme("Cm02", "Mixed", QVariantMap{{"Hue", "abc"}, {"Gain", 3}}));
        QCOMPARE(store.readConfigurationScheme("Cm02", "Mixed"), (QVariantMap{{"Gain", 3.0}}));
        QTest::ignoreMessage(QtWarningMsg, "Value for key Mode is not a real number and will be ignored.");
        QTest::ignoreMessage(QtWarningMsg, "saveConfigurationScheme. The scheme Text has no numeric parameters");
        QVERIFY(!store.saveConfigurationScheme("Cm02", "Text", QJsonObject{{"Mode", "auto"}}));
        QTest::ignoreMessage(QtWarningMsg, "saveConfigurationScheme. cameraKey is empty");
        QVERIFY(!store.saveConfigurationScheme("", "Day", QVariantMap{{"Gain", 1}}));
        QCOMPARE(store.configurationSchemeNames("Cm02"), QStringList({"Mixed"}));
    }

    void damagedSchemeFileIsNeitherReadNorReplaced_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("truncated") << QByteArray(R"({"AllCamear": {"Cm02": {"Day": {"Hue": )");
        QTest::newRow("top level array") << QByteArray(R"([{"AllCamear": {}}])");
        QTest::newRow("AllCamear not an object") << QByteArray(R"({"AllCamear": [1, 2]})");
        QTest::newRow("camera not an object") << QByteArray(R"({"AllCamear": {"Cm02": "Day"}})");
    }

    void damagedSchemeFileIsNeitherReadNorReplaced()
    {
        QFETCH(QByteArray, content);
        ConfigStore store(data(), program());
        const QString path = store.configurationSchemePath();
        writeFile(path, content);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^readConfigurationSchemes\\. "));
        QVERIFY(store.readConfigurationSchemes("Cm02").isEmpty());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^saveConfigurationScheme\\. .*left unchanged"));
        QVERIFY(!store.saveConfigurationScheme("Cm02", "Day", QVariantMap{{"Hue", 1}}));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^renameConfigurationScheme\\. .*left unchanged"));
        QVERIFY(!store.renameConfigurationScheme("Cm02", "Day", "Night"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^deleteConfigurationScheme\\. .*left unchanged"));
        QVERIFY(!store.deleteConfigurationScheme("Cm02", "Day"));
        QCOMPARE(fileBytes(path), content);
    }

private:
    QTemporaryDir m_xdg;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString data() const { return m_dir->path() + "/data"; }
    QString program() const { return m_dir->path() + "/program"; }
};

QTEST_GUILESS_MAIN(TestConfigStore)
#include "tst_configstore.moc"
