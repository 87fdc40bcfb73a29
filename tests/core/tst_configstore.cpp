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
    void initTestCase();
    void init();

    void groupTable_data();
    void groupTable();
    void keyTexts_data();
    void keyTexts();

    void drawDefaultsOnEmptyFile_data();
    void drawDefaultsOnEmptyFile();
    void storedQuickSavePathWins();
    void baseDefaultsOnFirstStart_data();
    void baseDefaultsOnFirstStart();
    void firstStartKeepsStoredValues();
    void sceneModeSwitchesDisplayOptions();

    void equalWriteLeavesFileUntouched_data();
    void equalWriteLeavesFileUntouched();
    void valuesSurviveAFreshStore_data();
    void valuesSurviveAFreshStore();
    void settingsAliasesShareOneValue();
    void removingADrawKeyRestoresItsDefault();
    void nosepieceRoundTrip();
    void hostileNosepieceArrayIsBounded();
    void userInfoIsReadOnlyUtf8();
    void instanceLivesInTheDataFolder();
    void concurrentWritersKeepEveryValue();

    void readCameraConfigurationFailures_data();
    void readCameraConfigurationFailures();
    void saveCameraConfigurationKeepsOtherCameras();
    void saveCameraConfigurationRefusals_data();
    void saveCameraConfigurationRefusals();
    void saveCameraConfigurationWriteFailure();
    void fullVolumeKeepsEveryFile_data();
    void fullVolumeKeepsEveryFile();

    void configurationSchemeLifecycle();
    void schemeDropsNonNumbers();
    void damagedSchemeFileIsNeitherReadNorReplaced_data();
    void damagedSchemeFileIsNeitherReadNorReplaced();

private:
    QTemporaryDir m_xdg;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString data() const { return m_dir->path() + "/data"; }
    QString program() const { return m_dir->path() + "/program"; }
};

void TestConfigStore::initTestCase()
{
    QVERIFY(m_xdg.isValid());
    qputenv("XDG_DATA_HOME", m_xdg.path().toLocal8Bit());
    QCoreApplication::setApplicationName("lumora");
    QGuiApplication::setApplicationDisplayName("Lumora Test");
}

void TestConfigStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestConfigStore::groupTable_data()
{
    QTest::addColumn<ConfigGroup>("group");
    QTest::addColumn<QString>("name");
    QTest::addColumn<ConfigFile>("file");
    QTest::addColumn<int>("keyCount");
    QTest::addColumn<int>("lastKey");

    const auto row = [](const char *tag, ConfigGroup g, const char *name, ConfigFile f, int count, int last) {
        QTest::newRow(tag) << g << QString(name) << f << count << last;
    };
    row("base", ConfigGroup::Base, "base", ConfigFile::Config, 14, 13);
    row("camera", ConfigGroup::Camera, "camera", ConfigFile::Config, 6, 5);
    row("snap", ConfigGroup::Snap, "snap", ConfigFile::Config, 6, 5);
    row("burst_mode", ConfigGroup::BurstMode, "burst_mode", ConfigFile::Config, 4, 3);
    row("record", ConfigGroup::Record, "record", ConfigFile::Config, 11, 10);
    row("key_bind", ConfigGroup::KeyBind, "key_bind", ConfigFile::Config, 1, 0);
    row("watermask", ConfigGroup::Watermask, "watermask", ConfigFile::Config, 8, 7);
    row("shortcut counts from 1", ConfigGroup::Shortcut, "shortcut", ConfigFile::Config, 9, 9);
    row("img_process", ConfigGroup::ImgProcess, "img_process", ConfigFile::Config, 2, 1);
    row("ffc", ConfigGroup::Ffc, "ffc", ConfigFile::Config, 1, 0);
    row("control_interface_state", ConfigGroup::ControlInterfaceState, "control_interface_state", ConfigFile::Config,
        14, 13);
    row("display options are logical", ConfigGroup::DisplayOptions, "", ConfigFile::Config, 36, 35);
    row("biology", ConfigGroup::BiologyDisplayOptions, "biology_display_options", ConfigFile::Config, 36, 35);
    row("industry", ConfigGroup::IndustryDisplayOptions, "industry_display_options", ConfigFile::Config, 36, 35);
    row("edge_detect", ConfigGroup::EdgeDetect, "edge_detect", ConfigFile::Config, 2, 1);
    row("roiRegion", ConfigGroup::RoiRegion, "roiRegion", ConfigFile::Config, 1, 0);
    row("scanRegion", ConfigGroup::ScanRegion, "scanRegion", ConfigFile::Config, 6, 5);
    row("rotate", ConfigGroup::Rotate, "rotate", ConfigFile::Config, 1, 0);
    row("sheet", ConfigGroup::MeasurementSheetProperty, "MeasurementSheetProperty", ConfigFile::Config, 13, 12);
    row("statistics", ConfigGroup::StatisticsProperty, "StatisticsProperty", ConfigFile::Config, 6, 5);
    row("CommonTool", ConfigGroup::CommonTool, "CommonTool", ConfigFile::Config, 1, 0);
    row("CurConfigurationName", ConfigGroup::CurConfigurationName, "CurConfigurationName", ConfigFile::Config, 1, 0);
    row("draw has 682 identifiers less the gap", ConfigGroup::Draw, "draw", ConfigFile::Config, 681, 681);
    row("settings", ConfigGroup::Settings, "settings", ConfigFile::Calibration, 12, 11);
    row("nosepiece", ConfigGroup::Nosepiece, "nosepiece", ConfigFile::Calibration, 1, 0);
    row("calibrate", ConfigGroup::Calibrate, "calibrate", ConfigFile::Calibration, 0, -1);
    row("nosepieceCalibrate", ConfigGroup::NosepieceCalibrate, "nosepieceCalibrate", ConfigFile::Calibration, 0, -1);
    row("UserInfo", ConfigGroup::UserInfo, "UserInfo", ConfigFile::UserInfo, 1, 0);
}

void TestConfigStore::groupTable()
{
    QFETCH(ConfigGroup, group);
    QFETCH(QString, name);
    QFETCH(ConfigFile, file);
    QFETCH(int, keyCount);
    QFETCH(int, lastKey);
    const ConfigGroupInfo &info = configGroupInfo(group);
    QCOMPARE(info.group, group);
    QCOMPARE(info.name, name);
    QCOMPARE(info.file, file);
    QCOMPARE(info.keys.size(), keyCount);
    QCOMPARE(info.keys.isEmpty() ? -1 : info.keys.lastKey(), lastKey);
}

void TestConfigStore::keyTexts_data()
{
    QTest::addColumn<ConfigGroup>("group");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");

    const auto row = [](ConfigGroup g, int index, const QString &text) {
        QTest::addRow("%d/%d %s", int(g), index, text.isEmpty() ? "<none>" : qPrintable(text)) << g << index << text;
    };
    using G = ConfigGroup;
    row(G::Base, BaseKey::UpgradeFilePath, "UpgradeFilePath");
    row(G::Base, BaseKey::ExportFilePath, "exportFilePath");
    row(G::Base, BaseKey::CompressionEnabled, "CompressionEnabled");
    row(G::Camera, CameraKey::FocusClikEnable, "FocusClikEnable");
    row(G::Camera, CameraKey::SceneMode, "SceneMode");
    row(G::Snap, SnapKey::SaveScanResult, "SaveScanResult");
    row(G::BurstMode, BurstModeKey::RemainingTime, "RemainingTime");
    row(G::Record, RecordKey::PrefixDataVideo, "PrefixDataVideo");
    row(G::Record, RecordKey::AutoNumberingDigits, "AutoNumberingDigits");
    row(G::KeyBind, KeyBindKey::MouseWheel, "MouseWheel");
    row(G::Watermask, WatermaskKey::FuseToPic, "FuseToPic");
    row(G::Shortcut, 0, "");
    row(G::Shortcut, ShortcutKey::Snap, "Snap");
    row(G::Shortcut, ShortcutKey::ImaeCopy, "ImaeCopy");
    row(G::Shortcut, ShortcutKey::HandMode, "HandMode");
    row(G::ImgProcess, ImgProcessKey::EDFImgSpeed, "EDFImgSpeed");
    row(G::Ffc, FfcKey::FFCNum, "FFCNum");
    row(G::ControlInterfaceState, ControlInterfaceStateKey::ShowGeneralWhiteBalanceWidget,
        "ShowGeneralWhiteBalanceWidget");
    row(G::ControlInterfaceState, ControlInterfaceStateKey::ShowRotateWidget, "ShowRotateWidget");
    row(G::DisplayOptions, DisplayOptionsKey::EnableSwapMainInterfaceControls, "EnableSwapMainInterfaceControls");
    row(G::IndustryDisplayOptions, DisplayOptionsKey::EnableOptionLocalDisplayContrastImprovement,
        "EnableOptionLocalDisplayContrastImprovement");
    row(G::BiologyDisplayOptions, DisplayOptionsKey::EnableOptionCount, "EnableOptionCount");
    row(G::BiologyDisplayOptions, DisplayOptionsKey::EnableOptionRotate, "EnableOptionRotate");
    row(G::EdgeDetect, EdgeDetectKey::Range, "Range");
    row(G::RoiRegion, RoiRegionKey::RoiRegionIndex, "RoiRegionIndex");
    row(G::ScanRegion, ScanRegionKey::ScanHeight, "ScanHeight");
    row(G::Rotate, RotateKey::RotateAngle, "RotateAngle");
    row(G::MeasurementSheetProperty, MeasurementSheetKey::Count, "MeasurementSheetCount");
    row(G::MeasurementSheetProperty, MeasurementSheetKey::Eccentricity, "MeasurementSheetEccentricity");
    row(G::StatisticsProperty, StatisticsKey::Minimum, "StatisticsMinimun");
    row(G::StatisticsProperty, StatisticsKey::Maximum, "StatisticsMaximun");
    row(G::StatisticsProperty, StatisticsKey::StandardDeviation, "StatisticsStandaedDeviation");
    row(G::StatisticsProperty, StatisticsKey::SampleStandardDeviation, "StatisticsSampleStandaedDeviation");
    row(G::CommonTool, CommonToolKey::CommonTool, "commontool");
    row(G::CurConfigurationName, 0, "CurConfigurationName");
    row(G::Settings, SettingsKey::MeasureScaleFontSize, "MeasureScaleFontSize");
    row(G::Settings, SettingsKey::Reserved9, "MeasureScaleFontSize");
    row(G::Settings, SettingsKey::Reserved10, "MeasureScaleFontSize");
    row(G::Settings, SettingsKey::SavePath, "SavePath");
    row(G::Nosepiece, NosepieceKey::NosepieceCount, "nosepieceCount");
    row(G::UserInfo, UserInfoKey::DeviceName, "DeviceName");

    // "draw": the first and last identifier of every block, the gap and the irregular texts.
    const QString draw = // index:text, an empty text where there is no identifier
        "0:PointWidth 1:PointColor 2:LineShowLength 8:LinePointShape 20:LineTextBorderStyle "
        "21:ThreePointLineShowLength 23:ThreePointLineShowDataType 24: 25:ThreePointLineColor "
        "36:ThreePointLineTextBorderStyle 37:HLineShowLength 43:HLinePointShape 55:HLineTextBorderStyle "
        "56:VLineShowLength 74:VLineTextBorderStyle 75:AnyLineShowLength 76:AnyLineStackedClosingLength "
        "91:AnyLineTextBorderStyle 92:ParLineShowLength 107:ParLineTextBorderStyle "
        "108:FourPointParLineShowLength 123:FourPointParLineTextBorderStyle 124:AnyParLineShowLength "
        "129:AnyParLineShowCumulativeMode 141:AnyParLineTextBorderStyle 142:VerLineShowLength "
        "158:VerLineTextBorderStyle 159:FourPointVerLineShowLength 174:FourPointVerLineTextBorderStyle "
        "175:AnyVerLineShowLength 191:AnyVerLineTextBorderStyle 192:TwoCircleShowRadius "
        "211:TwoCircleFillTransparency 212:FourPointTwoCircleShowRadius "
        "231:FourPointTwoCircleFillTransparency 232:LineCircleShowRadius 251:LineCircleFillTransparency "
        "252:CircleCenterLineShowRadius 258:CircleCenterLineShowLineLength "
        "274:CircleCenterLineFillTransparency 275:RectShowWidth 294:RectFillTransparency "
        "295:ThreePointRectShowWidth 314:ThreePointRectFillTransparency 315:PolyShowPerimeter "
        "332:PolyFillTransparency 333:CircleShowRadius 352:CircleFillTransparency 353:RadiusCircleShowRadius "
        "372:RadiusCircleFillTransparency 373:DiameterCircleShowRadius 392:DiameterCircleFillTransparency "
        "393:TwoPointEllipseShowDiameter 412:TwoPointEllipseFillTransparency "
        "413:ThreePointEllipseShowDiameter 432:ThreePointEllipseFillTransparency "
        "433:FivePointEllipseShowDiameter 436:FivePointEllipseShoweEccentricity "
        "452:FivePointEllipseFillTransparency 453:FourPointConcentricCircleShowRadius "
        "472:FourPointConcentricCircleFillTransparency 473:CenterRadiusConcentricCircleShowRadius "
        "491:CenterRadiusConcentricCircleFillTransparency 492:AnyPointConcentricCircleShowRadius "
        "510:AnyPointConcentricCircleFillTransparency 511:ArcShowRadian 523:ArcTextUnderArc "
        "529:ArcFillTransparency 530:FourAngleShowAngle 540:FourAngleTextUnderFourAngle "
        "544:FourAngleTextBorderStyle 545:ThreeAngleShowAngle 555:ThreeAngleTextUnderThreeAngle "
        "559:ThreeAngleTextBorderStyle 560:PositionShowPosition 567:PositionTextUnderPosition "
        "571:PositionTextBorderStyle 572:SerialNumberShowNumber 579:SerialNumberTextUnderSerialNumber "
        "583:SerialNumberTextBorderStyle 584:MeasureScaleLineWidth 593:MeasureScaleFuseToPic "
        "594:CalibrationLineWidth 597:TextFont 598:TextColor 599:QuickSavePath "
        "600:DrawAuxiliaryMarkerInterfaceIndex 601:DrawAuxiliaryMarkerCorssWidthPCT "
        "614:DrawAuxiliaryMarkerFuseToPic 615:DrawGridlinesWidth 629:DrawGridLineFuseToPic "
        "630:DrawCrossLineWidth 632:DrawCrossLineColor 633:DrawMarkRectWidth 644:DrawMarkAnyLineColor "
        "645:OtherSetAntialiasing 650:OtherSetDisplayPopup 651:GeneralLineWidth 659:GeneralShowPaintGuide "
        "660:LText_Width 665:LLine_Color 666:RingDistance1 669:LineDistance2 670:SaveType 672:PhotoFormat "
        "673:Language 675:SaveGraphics 676:LocalFocusColor 679:LocalBBColor 680:DefaultTextSize "
        "681:DefaultLineWidth 682: ";
    for (const QString &item : draw.split(' ', Qt::SkipEmptyParts)) {
        const int colon = item.indexOf(':');
        row(G::Draw, item.left(colon).toInt(), item.mid(colon + 1));
    }
}

void TestConfigStore::keyTexts()
{
    QFETCH(ConfigGroup, group);
    QFETCH(int, index);
    QFETCH(QString, text);
    QCOMPARE(configKeyText(group, index), text);
    if (group == ConfigGroup::Draw)
        QCOMPARE(drawPropertyName(DrawProperty(index)), text);
}

void TestConfigStore::drawDefaultsOnEmptyFile_data()
{
    QTest::addColumn<DrawProperty>("property");
    QTest::addColumn<QVariant>("expected"); // invalid: the store supplies nothing

    using P = DrawProperty;
    const QVariant none;
    const QColor clear(0, 0, 0, 0);
    const auto row = [](P p, const QVariant &v) { QTest::addRow("%s", qPrintable(drawPropertyName(p))) << p << v; };
    row(P::PointWidth, none);
    row(P::PointColor, red);
    row(P::LineShowLength, true);
    row(P::LineShowTextBackground, true);
    row(P::LineShowPaintGuideLine, 1);
    row(P::HLineShowPaintGuideLine, 1);
    row(P::LineAuxiliaryLineLength, none);
    row(P::VLinePointShape, 2);
    row(P::LineColor, red);
    row(P::CircleTextColor, red);
    row(P::CircleTextBackgroundColor, none);
    row(P::LineWidth, 1);
    row(P::SerialNumberWidth, 5);
    row(P::LineStyle, 1);
    row(P::ArcTextBorderStyle, 1);
    row(P::RectTextSize, 13);
    row(P::RectTextBold, none);
    row(P::AnyLineStackedClosingLength, false);
    row(P::AnyParLineShowCumulativeMode, false);
    row(P::FivePointEllipseShoweEccentricity, true);
    row(P::PositionShowPosition, true);
    row(P::ArcTextUnderArc, none);
    row(P::TwoCircleFillColor, clear);
    row(P::FourPointTwoCircleFillColor, clear);
    row(P::LineCircleFillColor, clear);
    row(P::CircleCenterLineFillColor, clear);
    row(P::CircleFillColor, none);
    row(P::CircleFillTransparency, none);
    row(P::MeasureScaleColor, none);
    row(P::MeasureScaleTextSize, 13);
    row(P::MeasureScaleFuseToPic, true);
    row(P::TextSize, 13);
    row(P::TextFont, none);
    row(P::TextColor, none);
    row(P::QuickSavePath, pictures());
    row(P::DrawAuxiliaryMarkerColor, red);
    row(P::DrawAuxiliaryMarkerWidth, 1);
    row(P::DrawAuxiliaryMarkerStyle, 1);
    row(P::DrawGridlinesColor, red);
    row(P::DrawGridlinesHLines, 2);
    row(P::DrawGridlinesVLines, 2);
    row(P::DrawGridlinesWidth, none);
    row(P::DrawMarkArrowColor, red);
    row(P::DrawMarkAnyLineWidth, 1);
    row(P::DrawMarkCircleStyle, 1);
    row(P::GeneralLineColor, none);
    row(P::LText_Width, 13);
    row(P::LText_Color, red);
    row(P::LLine_Width, 1);
    row(P::LLine_Style, 1);
    row(P::LLine_Color, red);
    row(P::SaveType, 1);
    row(P::Language, none);
    row(P::DefaultTextSize, 16);
    row(P::DefaultLineWidth, 2);
}

void TestConfigStore::drawDefaultsOnEmptyFile()
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

void TestConfigStore::storedQuickSavePathWins()
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

void TestConfigStore::baseDefaultsOnFirstStart_data()
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

void TestConfigStore::baseDefaultsOnFirstStart()
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
    QCOMPARE(ini.value("control_interface_state/ShowLedWidget").toString(), QString("false"));
    QCOMPARE(ini.value("industry_display_options/EnableOptionColorComposite").toString(), QString("false"));
    QCOMPARE(ini.value("biology_display_options/EnableOptionColorComposite").toString(), QString("true"));
}

void TestConfigStore::firstStartKeepsStoredValues()
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
    QCOMPARE(ini.value("control_interface_state/ShowROIWidget").toString(), QString("false"));
    QCOMPARE(ini.value("industry_display_options/EnableOptionSlowShutter").toBool(), true);
}

void TestConfigStore::sceneModeSwitchesDisplayOptions()
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

void TestConfigStore::equalWriteLeavesFileUntouched_data()
{
    QTest::addColumn<ConfigGroup>("group");
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("other");
    QTest::addColumn<QString>("file");

    const QVariantMap tools{{"Line", 1}, {"Circle", QVariantList{1, 2}}};
    QTest::newRow("int") << ConfigGroup::Snap << int(SnapKey::RemainingTime) << QVariant(42) << QVariant(43)
                         << "config.ini";
    QTest::newRow("bool") << ConfigGroup::ControlInterfaceState << int(ControlInterfaceStateKey::ShowLedWidget)
                          << QVariant(true) << QVariant(false) << "config.ini";
    QTest::newRow("string") << ConfigGroup::Record << int(RecordKey::SavePath) << QVariant("/media/videos")
                            << QVariant("/media/other") << "config.ini";
    QTest::newRow("colour") << ConfigGroup::Draw << int(DrawProperty::LineColor) << QVariant(QColor(10, 20, 30, 40))
                            << QVariant(QColor(10, 20, 30)) << "config.ini";
    QTest::newRow("map") << ConfigGroup::CommonTool << int(CommonToolKey::CommonTool) << QVariant(tools)
                         << QVariant(QVariantMap{{"Line", 2}}) << "config.ini";
    QTest::newRow("calibration settings") << ConfigGroup::Settings << int(SettingsKey::SavePath) << QVariant("/cal")
                                          << QVariant("/cal2") << "calibration.ini";
}

void TestConfigStore::equalWriteLeavesFileUntouched()
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

void TestConfigStore::valuesSurviveAFreshStore_data()
{
    QTest::addColumn<ConfigGroup>("group");
    QTest::addColumn<int>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("iniKey"); // where it must land
    QTest::addColumn<QString>("file");

    const QVariantMap tools{{"Line", 3}, {"Tools", QVariantList{"Rect", "Arc"}}, {"Visible", true}};
    QTest::newRow("int") << ConfigGroup::Snap << int(SnapKey::AutoNumberingDigits) << QVariant(4)
                         << "snap/AutoNumberingDigits"
                         << "config.ini";
    QTest::newRow("bool") << ConfigGroup::StatisticsProperty << int(StatisticsKey::Minimum) << QVariant(true)
                          << "StatisticsProperty/StatisticsMinimun"
                          << "config.ini";
    QTest::newRow("non-ASCII folder") << ConfigGroup::Base << int(BaseKey::SaveImgPath)
                                      << QVariant(QString::fromUtf8("/home/op/Bilder/Präparate ü"))
                                      << "base/SaveImgPath"
                                      << "config.ini";
    QTest::newRow("colour") << ConfigGroup::Watermask << int(WatermaskKey::TextColor)
                            << QVariant(QColor(12, 34, 56, 78)) << "watermask/TextColor"
                            << "config.ini";
    QTest::newRow("draw flag off") << ConfigGroup::Draw << int(DrawProperty::FivePointEllipseShoweEccentricity)
                                   << QVariant(false) << "draw/FivePointEllipseShoweEccentricity"
                                   << "config.ini";
    QTest::newRow("variant map") << ConfigGroup::CommonTool << int(CommonToolKey::CommonTool) << QVariant(tools)
                                 << "CommonTool/commontool"
                                 << "config.ini";
    QTest::newRow("shortcut") << ConfigGroup::Shortcut << int(ShortcutKey::HandMode) << QVariant("Ctrl+H")
                              << "shortcut/HandMode"
                              << "config.ini";
    QTest::newRow("scheme name") << ConfigGroup::CurConfigurationName << 0 << QVariant("Night")
                                 << "CurConfigurationName/CurConfigurationName"
                                 << "config.ini";
    QTest::newRow("calibration") << ConfigGroup::Settings << int(SettingsKey::CalibrateName) << QVariant("10x")
                                 << "settings/CalibrateName"
                                 << "calibration.ini";
}

void TestConfigStore::valuesSurviveAFreshStore()
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

void TestConfigStore::settingsAliasesShareOneValue()
{
    ConfigStore store(data(), program());
    store.write(ConfigGroup::Settings, SettingsKey::Reserved9, 20);
    const QMap<int, QVariant> settings = store.read(ConfigGroup::Settings);
    for (int key : {SettingsKey::MeasureScaleFontSize, SettingsKey::Reserved9, SettingsKey::Reserved10})
        QCOMPARE(settings.value(key).toInt(), 20);

    ConfigStore fresh(data(), program());
    QCOMPARE(fresh.value(ConfigGroup::Settings, SettingsKey::Reserved10).toInt(), 20);
}

void TestConfigStore::removingADrawKeyRestoresItsDefault()
{
    ConfigStore store(data(), program());
    store.write(DrawProperty::LineWidth, 7);
    QCOMPARE(store.value(DrawProperty::LineWidth).toInt(), 7);
    store.write(DrawProperty::LineWidth, QVariant());
    QCOMPARE(store.value(DrawProperty::LineWidth), QVariant(1));
    QVERIFY(!QSettings(store.configIniPath(), QSettings::IniFormat).contains("draw/LineWidth"));
}

void TestConfigStore::nosepieceRoundTrip()
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

    // A shorter table replaces the old one entirely.
    store.writeNosepiece(3, {{1, 20}});
    ConfigStore fresh(data(), program());
    QCOMPARE(fresh.readNosepieceCount(), 3);
    QCOMPARE(fresh.readNosepiece(), (QMap<int, int>{{1, 20}}));
}

void TestConfigStore::hostileNosepieceArrayIsBounded()
{
    writeFile(data() + "/calibration.ini", "[nosepiece]\nnosepieceCount=2\nnosepieceData\\size=2000000000\n"
                                           "nosepieceData\\1\\lensIndex=0\nnosepieceData\\1\\magnification=10\n");
    ConfigStore store(data(), program());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("nosepiece entries beyond 256 of 2000000000"));
    QCOMPARE(store.readNosepiece(), (QMap<int, int>{{0, 10}}));
}

void TestConfigStore::userInfoIsReadOnlyUtf8()
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

void TestConfigStore::instanceLivesInTheDataFolder()
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

void TestConfigStore::concurrentWritersKeepEveryValue()
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

void TestConfigStore::readCameraConfigurationFailures_data()
{
    QTest::addColumn<QByteArray>("content"); // null: no file
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("warning"); // a pattern; empty: silent

    const QByteArray valid = R"({"CamA": {"Exposure": 10}, "CamB": 5})";
    QTest::newRow("empty name") << valid << ""
                                << "^readCameraConfiguration. cameraName is empty$";
    QTest::newRow("missing file") << QByteArray() << "CamA"
                                  << "^readCameraConfiguration. Failed to open configuration file$";
    QTest::newRow("corrupt file") << QByteArray(R"({"CamA": {"Exposure": )") << "CamA"
                                  << "^readCameraConfiguration. Failed to parase camera configuration, error=\\w.+$";
    QTest::newRow("member is not an object") << valid << "CamB"
                                             << "";
    QTest::newRow("unknown camera") << valid << "CamC"
                                    << "";
}

void TestConfigStore::readCameraConfigurationFailures()
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

void TestConfigStore::saveCameraConfigurationKeepsOtherCameras()
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

void TestConfigStore::saveCameraConfigurationRefusals_data()
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

void TestConfigStore::saveCameraConfigurationRefusals()
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

void TestConfigStore::saveCameraConfigurationWriteFailure()
{
    ConfigStore store(data(), program());
    // The data folder turns into a plain file: nothing can be created inside it.
    QVERIFY(QDir(data()).removeRecursively());
    writeFile(data(), "not a folder");
    QTest::ignoreMessage(QtWarningMsg, "saveCameraConfiguration. Failed to write configuration file");
    QVERIFY(!store.saveCameraConfiguration("CamA", {{"Exposure", 5}}));
    QCOMPARE(fileBytes(data()), QByteArray("not a folder"));
}

void TestConfigStore::fullVolumeKeepsEveryFile_data()
{
    QTest::addColumn<int>("file");
    QTest::addColumn<QString>("operationWarning"); // besides the line naming the file and the reason
    QTest::newRow("CameraConfiguration.json") << 0 << "saveCameraConfiguration. Failed to write configuration file";
    QTest::newRow("ConfigurationScheme.json")
        << 1 << "saveConfigurationScheme. Failed to write configuration scheme file";
    QTest::newRow("config.ini") << 2 << "";
    QTest::newRow("calibration.ini") << 3 << "";
}

void TestConfigStore::fullVolumeKeepsEveryFile()
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
    const QString paths[] = {store.cameraConfigurationPath(), store.configurationSchemePath(), store.configIniPath(),
                             store.calibrationIniPath()};
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

void TestConfigStore::configurationSchemeLifecycle()
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
}

void TestConfigStore::schemeDropsNonNumbers()
{
    ConfigStore store(data(), program());
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

void TestConfigStore::damagedSchemeFileIsNeitherReadNorReplaced_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("truncated") << QByteArray(R"({"AllCamear": {"Cm02": {"Day": {"Hue": )");
    QTest::newRow("top level array") << QByteArray(R"([{"AllCamear": {}}])");
    QTest::newRow("AllCamear not an object") << QByteArray(R"({"AllCamear": [1, 2]})");
    QTest::newRow("camera not an object") << QByteArray(R"({"AllCamear": {"Cm02": "Day"}})");
}

void TestConfigStore::damagedSchemeFileIsNeitherReadNorReplaced()
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

QTEST_GUILESS_MAIN(TestConfigStore)
#include "tst_configstore.moc"
