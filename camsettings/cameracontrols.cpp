// The controls of the open camera: built from the parameter table, kept in step with what the
// camera reports, and every operator's change sent to the camera and remembered in its row.
#include "camsettings.h"

#include "advancedlock.h"
#include "basecamera.h"
#include "configkeys.h"
#include "configstore.h"
#include "configurationschemes.h"
#include "ffccontrol.h"
#include "foldingsection.h"
#include "gammacurvecontrol.h"
#include "histogramcontrol.h"
#include "ipsettingscontrol.h"
#include "ledcontrol.h"
#include "parametercontrol.h"
#include "productiontestdialog.h"
#include "roicontrol.h"
#include "rotatecontrol.h"
#include "schemecontrol.h"
#include "upgradecontrol.h"

#include <QComboBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

namespace D = DisplayOptionsKey;

enum Tab { CameraTab, ExposureTab, FocusTab, ImageTab, AdvancedTab, TabCount };

namespace F = ControlInterfaceStateKey;

// A box of controls on a tab, shown while its display option is on (-1: always), open or folded
// as the operator left it (the key of that state; -1: always open).
struct Section
{
    const char *key;
    const char *title;
    Tab tab;
    int option;
    int fold;
};

constexpr Section kSections[] = {
    {"exposure", QT_TRANSLATE_NOOP("CamSettings", "Exposure"), ExposureTab, D::EnableOptionExposure,
     F::ShowExposureWidget},
    {"white_balance", QT_TRANSLATE_NOOP("CamSettings", "White Balance"), ExposureTab, D::EnableOptionWhiteBalance,
     F::ShowWhiteBalanceWidget},
    {"black_balance", QT_TRANSLATE_NOOP("CamSettings", "Black Balance"), ExposureTab, D::EnableOptionBlackBalance,
     F::ShowBlackBalanceWidget},
    {"focus", QT_TRANSLATE_NOOP("CamSettings", "Focus"), FocusTab, D::EnableOptionFocus, F::ShowFocusWidget},
    {"zoom", QT_TRANSLATE_NOOP("CamSettings", "Zoom"), FocusTab, D::EnableOptionZoom, F::ShowZoomWidget},
    {"image", QT_TRANSLATE_NOOP("CamSettings", "Image"), ImageTab, -1, -1},
    {"function", QT_TRANSLATE_NOOP("CamSettings", "Function"), ImageTab, -1, F::ShowFunctionWidget},
    {"gamma_curve", QT_TRANSLATE_NOOP("CamSettings", "Gamma Curve"), ImageTab, D::EnableOptionGamma,
     F::ShowGammaWidget},
    {"led", QT_TRANSLATE_NOOP("CamSettings", "LED Controls"), FocusTab, D::EnableOptionLED, F::ShowLedWidget},
    {"roi", QT_TRANSLATE_NOOP("CamSettings", "ROI"), AdvancedTab, D::EnableOptionROI, F::ShowROIWidget},
    {"ffc", QT_TRANSLATE_NOOP("CamSettings", "FFC"), AdvancedTab, D::EnableOptionFlatFieldCorrection, F::ShowFFCWidget},
    {"rotate", QT_TRANSLATE_NOOP("CamSettings", "Rotate"), AdvancedTab, D::EnableOptionRotate, F::ShowRotateWidget},
    {"histogram", QT_TRANSLATE_NOOP("CamSettings", "Histogram"), AdvancedTab, D::EnableOptionHistogram,
     F::ShowHistogramWidget},
    {"ip", QT_TRANSLATE_NOOP("CamSettings", "IP Settings"), AdvancedTab, -1, -1},
    {"upgrade", QT_TRANSLATE_NOOP("CamSettings", "Firmware Upgrade"), AdvancedTab, -1, -1},
};

// A parameter's control: its section, its caption, the captions of its choices ('|' between),
// and the display option that shows it (-1: its section's).
struct ControlRow
{
    const char *name;
    const char *section;
    const char *label;
    const char *choices;
    int option;
};

constexpr ControlRow kControls[] = {
    {"exposure_mode", "exposure", QT_TRANSLATE_NOOP("CamSettings", "Mode"),
     QT_TRANSLATE_NOOP("CamSettings", "Auto|Manual"), -1},
    {"exposure_comp", "exposure", QT_TRANSLATE_NOOP("CamSettings", "Brightness"), nullptr, -1},
    {"exposure_time", "exposure", QT_TRANSLATE_NOOP("CamSettings", "Shutter"), nullptr, -1},
    {"long_exposure_time", "exposure", QT_TRANSLATE_NOOP("CamSettings", "Slow Shutter Time"), nullptr,
     D::EnableOptionSlowShutter},
    {"exposure_gain", "exposure", QT_TRANSLATE_NOOP("CamSettings", "Gain"), nullptr, -1},
    {"wb_mode", "white_balance", QT_TRANSLATE_NOOP("CamSettings", "Mode"),
     QT_TRANSLATE_NOOP("CamSettings", "Auto|Manual"), -1},
    {"wb_temperature", "white_balance", QT_TRANSLATE_NOOP("CamSettings", "Temperature"), nullptr, -1},
    {"wb_red", "white_balance", QT_TRANSLATE_NOOP("CamSettings", "Red"), nullptr, -1},
    {"wb_green", "white_balance", QT_TRANSLATE_NOOP("CamSettings", "Green"), nullptr, -1},
    {"wb_blue", "white_balance", QT_TRANSLATE_NOOP("CamSettings", "Blue"), nullptr, -1},
    {"bb_red", "black_balance", QT_TRANSLATE_NOOP("CamSettings", "Red"), nullptr, -1},
    {"bb_green", "black_balance", QT_TRANSLATE_NOOP("CamSettings", "Green"), nullptr, -1},
    {"bb_blue", "black_balance", QT_TRANSLATE_NOOP("CamSettings", "Blue"), nullptr, -1},
    {"focus_mode", "focus", QT_TRANSLATE_NOOP("CamSettings", "Mode"),
     QT_TRANSLATE_NOOP("CamSettings", "Auto|Manual|Once"), -1},
    {"focus_value", "focus", QT_TRANSLATE_NOOP("CamSettings", "Focus"), nullptr, -1},
    {"zoom", "zoom", QT_TRANSLATE_NOOP("CamSettings", "Optical Zoom"), nullptr, -1},
    {"digital_zoom", "zoom", QT_TRANSLATE_NOOP("CamSettings", "Digital Zoom"), nullptr, -1},
    {"zoom_speed", "zoom", QT_TRANSLATE_NOOP("CamSettings", "Zoom Speed"), nullptr, -1},
    {"hue", "image", QT_TRANSLATE_NOOP("CamSettings", "Hue"), nullptr, D::EnableOptionHue},
    {"saturation", "image", QT_TRANSLATE_NOOP("CamSettings", "Saturation"), nullptr, D::EnableOptionSaturation},
    {"contrast", "image", QT_TRANSLATE_NOOP("CamSettings", "Contrast"), nullptr, D::EnableOptionContrast},
    {"sharpness", "image", QT_TRANSLATE_NOOP("CamSettings", "Sharpness"), nullptr, D::EnableOptionSharpness},
    {"gamma", "image", QT_TRANSLATE_NOOP("CamSettings", "Gamma"), nullptr, D::EnableOptionGamma},
    {"drc", "image", QT_TRANSLATE_NOOP("CamSettings", "DRC"), nullptr, D::EnableOptionDRC},
    {"monochrome", "function", QT_TRANSLATE_NOOP("CamSettings", "Color Mode"),
     QT_TRANSLATE_NOOP("CamSettings", "Color|Monochrome"), D::EnableOptionColorMode},
    {"mirror", "function", QT_TRANSLATE_NOOP("CamSettings", "Mirror"), nullptr, D::EnableOptionFlip},
    {"flip", "function", QT_TRANSLATE_NOOP("CamSettings", "Flip"), nullptr, D::EnableOptionFlip},
    {"flicker", "function", QT_TRANSLATE_NOOP("CamSettings", "Power Line Frequency"),
     QT_TRANSLATE_NOOP("CamSettings", "50 Hz|60 Hz"), D::EnableOptionPowerLineFrequency},
    {"defog", "function", QT_TRANSLATE_NOOP("CamSettings", "Defog"), nullptr, D::EnableOptionDefog},
    {"cac", "function", QT_TRANSLATE_NOOP("CamSettings", "Chromatic Aberration Correction"), nullptr,
     D::EnableOptionChromaticAberrationCorrection},
    {"ldci", "function", QT_TRANSLATE_NOOP("CamSettings", "Local Contrast Improvement"), nullptr,
     D::EnableOptionLocalDisplayContrastImprovement},
    {"negative", "function", QT_TRANSLATE_NOOP("CamSettings", "Negative"), nullptr, D::EnableOptionNegative},
    {"display_mode", "function", QT_TRANSLATE_NOOP("CamSettings", "Scene"),
     QT_TRANSLATE_NOOP("CamSettings", "Default|Biology|Industry"), -1},
};

// Optical zoom positions are shown as magnifications from 1.0× at the wide end to this at the
// long end, in steps of 0.1.
constexpr double kLongestZoomFactor = 10.0;

const char *timeUnitSuffix(int unit)
{
    switch (unit) {
    case 2:
        return " ms";
    case 3:
        return " s";
    default:
        return " us";
    }
}

QStringList translatedChoices(const char *choices)
{
    return choices ? CamSettings::tr(choices).split(QLatin1Char('|')) : QStringList();
}

} // namespace

void CamSettings::buildControls()
{
    QWidget *pages[TabCount] = {widget(0)};
    QVBoxLayout *layouts[TabCount] = {};
    for (int tab = ExposureTab; tab < TabCount; ++tab) {
        auto *scroll = new QScrollArea(this);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        pages[tab] = new QWidget(scroll);
        layouts[tab] = new QVBoxLayout(pages[tab]);
        scroll->setWidget(pages[tab]);
        addTab(scroll, QString());
    }
    for (const Section &section : kSections) {
        if (section.tab == AdvancedTab && !m_advanced) {
            // The lock's button stays usable; the rest of the page only while unlocked.
            m_lockButton = new QPushButton(pages[AdvancedTab]);
            m_lockButton->setObjectName(QStringLiteral("advanced_lock_btn"));
            layouts[AdvancedTab]->addWidget(m_lockButton);
            m_advanced = new QWidget(pages[AdvancedTab]);
            m_advanced->setObjectName(QStringLiteral("advanced_settings"));
            auto *advancedLayout = new QVBoxLayout(m_advanced);
            advancedLayout->setContentsMargins(0, 0, 0, 0);
            layouts[AdvancedTab]->addWidget(m_advanced);
            layouts[AdvancedTab] = advancedLayout;
            pages[AdvancedTab] = m_advanced;
        }
        auto *box = new FoldingSection(pages[section.tab]);
        box->setObjectName(QLatin1String(section.key));
        layouts[section.tab]->addWidget(box);
        m_sections.insert(QLatin1String(section.key), box);
        if (section.option >= 0)
            m_displayOptions.insert(box, section.option);
        if (section.fold >= 0) {
            const int key = section.fold;
            box->setFolded(!ConfigStore::instance().value(ConfigGroup::ControlInterfaceState, key).toBool());
            connect(box, &FoldingSection::foldedChanged, this, [key](bool folded) {
                ConfigStore::instance().write(ConfigGroup::ControlInterfaceState, key, !folded);
            });
        }
    }
    for (const ControlRow &row : kControls) {
        const CameraParameter *parameter = findCameraParameter(QLatin1String(row.name));
        Q_ASSERT(parameter);
        FoldingSection *box = m_sections.value(QLatin1String(row.section));
        auto *control = new ParameterControl(*parameter, tr(row.label), translatedChoices(row.choices), box->content());
        box->contentLayout()->addWidget(control);
        m_controls.insert(QLatin1String(row.name), control);
        if (row.option >= 0)
            m_displayOptions.insert(control, row.option);
        connect(control, &ParameterControl::valueEdited, this,
                [this, parameter](int value) { editParameter(*parameter, value); });
    }

    // Controls beside the table's: the gain unit, the slow-shutter switch, one-shot actions.
    FoldingSection *exposure = m_sections.value(QStringLiteral("exposure"));
    m_gainUnit = new QComboBox(exposure->content());
    m_gainUnit->setObjectName(QStringLiteral("gain_unit_combo"));
    m_gainUnit->addItems({QString(), QString()});
    exposure->contentLayout()->insertWidget(4, m_gainUnit);
    connect(m_gainUnit, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (!m_camera)
            return;
        m_info.expGainUnit = ExposureGainUnit(index);
        emit setCameraExpGainUnit(m_info.expGainUnit);
    });
    m_slowShutter = new QPushButton(exposure->content());
    m_slowShutter->setObjectName(QStringLiteral("slow_shutter_btn"));
    m_slowShutter->setCheckable(true);
    exposure->contentLayout()->insertWidget(3, m_slowShutter);
    m_displayOptions.insert(m_slowShutter, D::EnableOptionSlowShutter);
    connect(m_slowShutter, &QPushButton::toggled, this, [this] { updateExposureControls(); });

    const auto addButton = [this](const char *section, const char *objectName, auto signal) {
        FoldingSection *box = m_sections.value(QLatin1String(section));
        auto *button = new QPushButton(box->content());
        button->setObjectName(QLatin1String(objectName));
        box->contentLayout()->addWidget(button);
        m_buttons << button;
        connect(button, &QPushButton::clicked, this, [this, signal] {
            if (m_camera)
                emit(this->*signal)();
        });
        return button;
    };
    addButton("white_balance", "wb_once_btn", &CamSettings::setCameraWhiteBalanceOnce);
    addButton("black_balance", "bb_once_btn", &CamSettings::setBlackBalanceOnce);
    addButton("black_balance", "bb_reset_btn", &CamSettings::resetBlackBalance);
    addButton("focus", "focus_once_btn", &CamSettings::setCameraFocusOnce);
    addButton("focus", "focus_add_btn", &CamSettings::setCameraFocusAdd);
    addButton("focus", "focus_sub_btn", &CamSettings::setCameraFocusSub);
    buildPieces();
    buildRegionSwitches();
    for (int tab = ExposureTab; tab < TabCount; ++tab)
        layouts[tab]->addStretch();
    onDisplayOptionsChanged();
    showInfo(CameraInfo());
}

void CamSettings::buildPieces()
{
    const auto place = [this](const char *section, QWidget *piece) {
        FoldingSection *box = m_sections.value(QLatin1String(section));
        piece->setParent(box->content());
        box->contentLayout()->addWidget(piece);
    };
    place("led", m_led = new LedControl);
    place("roi", m_roi = new RoiControl);
    place("ffc", m_ffc = new FfcControl);
    place("rotate", m_rotate = new RotateControl);
    place("gamma_curve", m_gammaCurve = new GammaCurveControl);
    place("histogram", m_histogram = new HistogramControl);
    place("ip", m_ip = new IpSettingsControl);
    place("upgrade", m_upgrade = new UpgradeControl);
    connect(m_ip, &IpSettingsControl::setCameraIp, this, &CamSettings::setCameraIp);
    connect(m_upgrade, &UpgradeControl::upgradeCamera, this, &CamSettings::upgradeCamera);
    connect(m_upgrade, &UpgradeControl::getCameraUpgradeStatus, this, &CamSettings::getCameraUpgradeStatus);

    m_lock = new AdvancedLock(ConfigStore::instance(), this);
    connect(m_lockButton, &QPushButton::clicked, this, [this] {
        if (m_lock->isUnlocked())
            m_lock->requestLock(this);
        else
            m_lock->requestUnlock(this);
    });
    connect(m_lock, &AdvancedLock::advWdigetUnlockStateChanged, this, [this](bool unlocked) {
        updateLock();
        if (!unlocked)
            setCurrentIndex(CameraTab);
        emit advWdigetUnlockStateChanged(unlocked);
    });
    connect(m_lock, &AdvancedLock::productionTestRequested, this, [this] {
        // Over the password dialog, which is still up: shown, not run.
        auto *dialog = new ProductionTestDialog(m_cameraModel, m_info, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        m_productionTest = dialog;
    });
    updateLock();

    m_schemes = new SchemeControl(widget(CameraTab));
    qobject_cast<QVBoxLayout *>(widget(CameraTab)->layout())->insertWidget(3, m_schemes);
    m_schemes->currentValues = [this] { return schemeValues(); };
    connect(m_schemes, &SchemeControl::schemeSelected, this, &CamSettings::applyScheme);
    connect(m_schemes, &SchemeControl::factorySettingsSelected, this, &CamSettings::applyFactorySettings);
    connect(m_schemes, &SchemeControl::signalConfigurationsImported, this, &CamSettings::signalConfigurationsImported);

    // The pieces ask through the panel's requests, which reach the camera while one is open.
    connect(m_led, &LedControl::setCameraLed, this, &CamSettings::setCameraLed);
    connect(m_led, &LedControl::setCameraAllLed, this, &CamSettings::setCameraAllLed);
    connect(m_roi, &RoiControl::setCameraRoiRegion, this, &CamSettings::setCameraRoiRegion);
    connect(m_roi, &RoiControl::roiRegionStatusChanged, this, &CamSettings::roiRegionStatusChanged);
    connect(m_roi, &RoiControl::roiCropStatusChanged, this, &CamSettings::roiCropStatusChanged);
    connect(m_ffc, &FfcControl::startFFCCapture, this, &CamSettings::startFFCCapture);
    connect(m_ffc, &FfcControl::setFFCStatus, this, &CamSettings::setFFCStatus);
    connect(m_ffc, &FfcControl::setFFCAverageFrame, this, &CamSettings::setFFCAverageFrame);
    connect(m_rotate, &RotateControl::signalVideoRotate, this, &CamSettings::signalVideoRotate);
    connect(m_rotate, &RotateControl::signalCurVideoRotate, this, &CamSettings::signalCurVideoRotate);
    connect(m_rotate, &RotateControl::signalCurVideoRotate, m_roi, &RoiControl::setVideoRotate);
    connect(m_gammaCurve, &GammaCurveControl::setGammaMode, this, &CamSettings::setGammaMode);
    connect(m_gammaCurve, &GammaCurveControl::setGammaBezierCurve, this, &CamSettings::setGammaBezierCurve);
    connect(m_histogram, &HistogramControl::setHistogramStatus, this, &CamSettings::setHistogramStatus);
    connect(m_histogram, &HistogramControl::calcHistogramInfos, this, &CamSettings::calcHistogramInfos);
    connect(m_histogram, &HistogramControl::setHistogramBoundaries, this, &CamSettings::setHistogramBoundaries);
    connect(m_histogram, &HistogramControl::setHistogramCalcBoundariesOnce, this,
            &CamSettings::setHistogramCalcBoundariesOnce);
}

void CamSettings::connectPieces(BaseCamera *camera)
{
    m_cameraConnections
        << connect(camera, &BaseCamera::sendLedInfo, m_led, &LedControl::onRecvCameraLedInfo)
        << connect(camera, &BaseCamera::sendRoiSettingResult, m_roi, &RoiControl::onRecvRoiSettingResult)
        << connect(camera, &BaseCamera::sendFFCCurrentCaptureNum, m_ffc, &FfcControl::onRecvFFCCurrentCaptureNum)
        << connect(camera, &BaseCamera::sendFFCAverageFrame, m_ffc, &FfcControl::onRecvFFCAverageFrame)
        << connect(camera, &BaseCamera::sendGammaBezierCurve, m_gammaCurve, &GammaCurveControl::onRecvGammaBezierCurve)
        << connect(camera, &BaseCamera::sendHistogramInfos, m_histogram, &HistogramControl::onRecvHistogramInfos)
        << connect(camera, &BaseCamera::sendHistogramBoundaries, m_histogram,
                   &HistogramControl::onRecvHistogramBoundaries)
        << connect(camera, &BaseCamera::sendHistogramStatus, m_histogram, &HistogramControl::onRecvHistogramStatus)
        << connect(camera, &BaseCamera::sendIpInfo, m_ip, &IpSettingsControl::onRecvIpInfo)
        << connect(camera, &BaseCamera::sendUpgradeStatus, m_upgrade, &UpgradeControl::onRecvUpgradeStatus);
}

void CamSettings::updateLock()
{
    m_advanced->setEnabled(m_lock->isUnlocked());
    m_lockButton->setText(m_lock->isUnlocked() ? tr("Lock Advanced Settings") : tr("Unlock Advanced Settings"));
}

void CamSettings::onLiveFrame()
{
    if (m_productionTest)
        m_productionTest->onFrame();
}

void CamSettings::doUpgrade()
{
    m_upgrade->doUpgrade();
}

void CamSettings::retranslateControls()
{
    setTabText(ExposureTab, tr("Exposure"));
    setTabText(FocusTab, tr("Focus"));
    setTabText(ImageTab, tr("Image"));
    setTabText(AdvancedTab, tr("Advanced"));
    for (const Section &section : kSections)
        m_sections.value(QLatin1String(section.key))->setTitle(tr(section.title));
    for (const ControlRow &row : kControls)
        m_controls.value(QLatin1String(row.name))->setLabel(tr(row.label), translatedChoices(row.choices));
    m_gainUnit->setItemText(GainUnitDefault, tr("Gain ×"));
    m_gainUnit->setItemText(GainUnitDb, tr("Gain dB"));
    m_slowShutter->setText(tr("Slow Shutter"));
    retranslateRegionSwitches();
    updateLock();
    const char *buttonTexts[] = {QT_TR_NOOP("Once"),       QT_TR_NOOP("Once"),    QT_TR_NOOP("Reset"),
                                 QT_TR_NOOP("Focus Once"), QT_TR_NOOP("Focus +"), QT_TR_NOOP("Focus −")};
    for (int i = 0; i < m_buttons.size(); ++i)
        m_buttons.at(i)->setText(tr(buttonTexts[i]));
}

void CamSettings::onDisplayOptionsChanged()
{
    ConfigStore &store = ConfigStore::instance();
    for (auto it = m_displayOptions.cbegin(); it != m_displayOptions.cend(); ++it)
        it.key()->setVisible(store.value(ConfigGroup::DisplayOptions, it.value()).toBool());
}

void CamSettings::showInfo(const CameraInfo &info)
{
    m_info = info;
    for (ParameterControl *control : std::as_const(m_controls)) {
        control->setInfo(info);
        if (!control->parameter().field.get) // done on the picture: the panel keeps no value
            control->setRange(0, kBlackBalanceMax, 0);
    }
    const QString suffix = QLatin1String(timeUnitSuffix(info.expTimeUnit));
    const int decimals = info.expTimeRatio == int(info.expTimeRatio) ? 0 : 2;
    for (const char *name : {"exposure_time", "long_exposure_time"})
        m_controls.value(QLatin1String(name))->setScale(info.expTimeRatio, 0.0, suffix, decimals);

    const CameraRange &zoom = info.opticalZoom;
    const double zoomRatio = zoom.max > zoom.min ? (kLongestZoomFactor - 1.0) / (zoom.max - zoom.min) : 1.0;
    m_controls.value(QStringLiteral("zoom"))->setScale(zoomRatio, 1.0 - zoom.min * zoomRatio, QStringLiteral("×"), 1);
    qInfo().nospace() << "initCameraInfo zoomMin=" << zoom.min << ", zoomMax=" << zoom.max;
    qInfo().nospace() << "initCameraInfo, focus region enable=" << info.focusRegionEnable
                      << ", mode=" << info.focusRegionMode << ", x=" << info.focusRegionX
                      << ", y=" << info.focusRegionY;

    const QSize picture(info.current.width, info.current.height);
    if (picture.isValid())
        m_pictureSize = picture;
    m_roi->setPictureSize(m_pictureSize);
    m_ffc->setCurrentResolution(m_pictureSize);
    m_led->onRecvCameraLedInfo(info.led);
    for (QWidget *piece : std::initializer_list<QWidget *>{m_led, m_roi, m_ffc, m_rotate, m_gammaCurve, m_histogram})
        piece->setEnabled(bool(m_camera));
    m_gammaCurve->onRecvCameraGammaMode(info.gammaMode);
    m_gammaCurve->onRecvGammaBezierCurve(info.gammaCurve, int(info.gammaCurve.size()));
    m_schemes->setCameraKey(m_camera ? m_camera->modelKey() : QString());
    m_upgrade->setCamera(bool(m_camera),
                         m_camera ? FirmwareFileRule::of(m_camera.get(), m_cameraModel, info) : FirmwareFileRule());
    m_sections.value(QStringLiteral("ip"))->setVisible(m_camera && m_netCamera);
    m_led->setEnabled(m_camera && info.led.supported);
    m_roi->setEnabled(m_camera && info.roiSupported);

    m_gainUnit->setCurrentIndex(info.expGainUnit);
    m_gainUnit->setEnabled(bool(m_camera));
    for (QPushButton *button : std::as_const(m_buttons)) {
        const QWidget *section = button->parentWidget();
        const bool has = section == m_sections.value(QStringLiteral("focus"))->content() ? info.focus.supported
                         : section == m_sections.value(QStringLiteral("white_balance"))->content()
                             ? info.wbModeSupported
                             : true;
        button->setEnabled(m_camera && has);
    }
    if (!m_camera) {
        for (ParameterControl *control : std::as_const(m_controls))
            control->setEnabled(false);
        m_slowShutter->setEnabled(false);
        updateRegionSwitches();
        return;
    }
    updateExposureControls();
    updateZoomText(zoom.value);
}

void CamSettings::updateExposureControls()
{
    if (!m_camera)
        return;
    const bool manual = m_info.expMode == ExposureManual;
    m_controls.value(QStringLiteral("exposure_comp"))->setEnabled(!manual && m_info.expComp.supported);
    m_controls.value(QStringLiteral("exposure_gain"))->setEnabled(manual && m_info.expGain.supported);
    ParameterControl *time = m_controls.value(QStringLiteral("exposure_time"));
    time->setEnabled(manual && m_info.expTime.supported);
    m_gainUnit->setEnabled(manual);

    // Slow shutter goes on from the longest plain exposure time only, and only when asked for.
    ParameterControl *slow = m_controls.value(QStringLiteral("long_exposure_time"));
    const bool atLongest = manual && m_info.expTime.supported && m_info.expTime.value >= m_info.expTime.max;
    m_slowShutter->setEnabled(atLongest && m_info.longExpTime.supported);
    const bool slowOn = atLongest && m_info.longExpTime.supported && m_slowShutter->isChecked();
    slow->setEnabled(slowOn);
    if (!slowOn && m_info.longExpTime.supported && m_info.longExpTime.value != m_info.longExpTime.min) {
        m_info.longExpTime.value = m_info.longExpTime.min;
        slow->showValue(m_info.longExpTime.min);
        emit setCameraLongExpTime(m_info.longExpTime.min);
    }

    const bool wbManual = m_info.wbMode == WbManual;
    for (const char *name : {"wb_red", "wb_green", "wb_blue", "wb_temperature"}) {
        ParameterControl *control = m_controls.value(QLatin1String(name));
        control->setEnabled(wbManual && control->isSupported());
    }
    ParameterControl *focus = m_controls.value(QStringLiteral("focus_value"));
    focus->setEnabled(m_info.focusMode == FocusManual && focus->isSupported());
    updateRegionSwitches();
}

void CamSettings::updateZoomText(int value)
{
    const CameraRange &zoom = m_info.opticalZoom;
    if (!zoom.supported || zoom.max <= zoom.min)
        return;
    const double factor = 1.0 + (value - zoom.min) * (kLongestZoomFactor - 1.0) / (zoom.max - zoom.min);
    emit signalSendZoomString(value, QStringLiteral("%1X").arg(factor, 0, 'f', 1));
}

QMetaMethod CamSettings::requestSignal(const CameraParameter &parameter) const
{
    // "onSetHueValue" is asked for with setCameraHueValue; the requests the image-processing
    // worker serves keep their short names (setNegativeStatus).
    QString stem = QString::fromLatin1(parameter.slot).mid(5);
    if (stem.startsWith(QLatin1String("Camera")))
        stem = stem.mid(6);
    const QMetaObject &meta = staticMetaObject;
    for (const QString &name : {QLatin1String("setCamera") + stem, QLatin1String("set") + stem}) {
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            const QMetaMethod method = meta.method(i);
            if (method.methodType() == QMetaMethod::Signal && QLatin1String(method.name()) == name)
                return method;
        }
    }
    return QMetaMethod();
}

void CamSettings::editParameter(const CameraParameter &parameter, int value)
{
    if (!m_camera)
        return;
    // Enumerations travel as their int; a mode switch asks the camera for the values it fixes.
    const QMetaMethod signal = requestSignal(parameter);
    const QByteArray type = signal.parameterTypes().value(0);
    bool flag = value != 0;
    bool sendValue = true;
    int maximum = kBlackBalanceMax; // the black-balance values are shares of it
    const QGenericArgument argument = signal.parameterType(0) == QMetaType::Bool
                                          ? QGenericArgument("bool", &flag)
                                          : QGenericArgument(type.constData(), &value);
    // The second argument, where there is one: the modes' sendValue, or black balance's maximum.
    const QGenericArgument second = signal.parameterType(1) == QMetaType::Bool ? QGenericArgument("bool", &sendValue)
                                                                               : QGenericArgument("int", &maximum);
    if (signal.parameterCount() == 2)
        signal.invoke(this, Qt::DirectConnection, argument, second);
    else
        signal.invoke(this, Qt::DirectConnection, argument);

    if (parameter.field.set)
        parameter.field.set(m_info, value);
    updateExposureControls();
    const QLatin1String name(parameter.name);
    if (name == QLatin1String("exposure_time"))
        emit exposureTimeChanged(value * m_info.expTimeRatio);
    else if (name == QLatin1String("zoom"))
        updateZoomText(value);
    if (parameter.column && m_database.isOpen())
        m_database.saveValue(m_databaseKey, QLatin1String(parameter.column), value);
}

void CamSettings::showParameter(const char *name, int value)
{
    ParameterControl *control = m_controls.value(QLatin1String(name));
    const CameraParameter &parameter = control->parameter();
    if (parameter.field.set)
        parameter.field.set(m_info, value);
    control->showValue(value);
    updateExposureControls();
}

void CamSettings::onRecvCameraAllInfo(CameraInfo info)
{
    m_zoom = info.opticalZoom;
    showInfo(info);
}

void CamSettings::onRecvCameraZoomValue(int value)
{
    m_zoom.value = value;
    showParameter("zoom", value);
    updateZoomText(value);
}

void CamSettings::onRecvCameraExpGainUnit(ExposureGainUnit unit)
{
    m_info.expGainUnit = unit;
    const QSignalBlocker blocker(m_gainUnit);
    m_gainUnit->setCurrentIndex(unit);
}

void CamSettings::onRecvCameraLongExpTime(int time)
{
    // A slow shutter the camera reports on keeps its switch on.
    if (time > m_info.longExpTime.min) {
        const QSignalBlocker blocker(m_slowShutter);
        m_slowShutter->setChecked(true);
    }
    showParameter("long_exposure_time", time);
}

void CamSettings::onRecvCameraFocusMode(FocusMode mode)
{
    showParameter("focus_mode", mode);
}
void CamSettings::onRecvCameraFocusValue(int value)
{
    showParameter("focus_value", value);
}
void CamSettings::onRecvCameraExpMode(ExposureMode mode)
{
    showParameter("exposure_mode", mode);
}
void CamSettings::onRecvCameraExpCompValue(int value)
{
    showParameter("exposure_comp", value);
}
void CamSettings::onRecvCameraExpGainValue(int value)
{
    showParameter("exposure_gain", value);
}
void CamSettings::onRecvCameraExpTime(int time)
{
    showParameter("exposure_time", time);
}
void CamSettings::onRecvCameraWbMode(WbMode mode)
{
    showParameter("wb_mode", mode);
}
void CamSettings::onRecvCameraWbRedValue(int value)
{
    showParameter("wb_red", value);
}
void CamSettings::onRecvCameraWbGreenValue(int value)
{
    showParameter("wb_green", value);
}
void CamSettings::onRecvCameraWbBlueValue(int value)
{
    showParameter("wb_blue", value);
}
void CamSettings::onRecvCameraMirrorStatus(bool enable)
{
    showParameter("mirror", enable);
}
void CamSettings::onRecvCameraFlipStatus(bool enable)
{
    showParameter("flip", enable);
}
void CamSettings::onRecvCameraHueValue(int value)
{
    showParameter("hue", value);
}
void CamSettings::onRecvCameraSaturationValue(int value)
{
    showParameter("saturation", value);
}
void CamSettings::onRecvCameraContrastValue(int value)
{
    showParameter("contrast", value);
}
void CamSettings::onRecvCameraSharpnessValue(int value)
{
    showParameter("sharpness", value);
}
void CamSettings::onRecvCameraDZoomValue(int value)
{
    showParameter("digital_zoom", value);
}
void CamSettings::onRecvCameraDefogStatus(bool enable)
{
    showParameter("defog", enable);
}
void CamSettings::onRecvCameraGammaValue(int value)
{
    showParameter("gamma", value);
}
void CamSettings::onRecvCameraMonoChromeStatus(bool enable)
{
    showParameter("monochrome", enable);
}
void CamSettings::onRecvCameraFlickStatus(bool enable)
{
    showParameter("flicker", enable);
}
void CamSettings::onRecvCameraDisplayModeValue(DisplayMode mode)
{
    showParameter("display_mode", mode);
}
void CamSettings::onRecvCameraWBTemperatureValue(int value)
{
    showParameter("wb_temperature", value);
}
void CamSettings::onRecvCameraDRCValue(int value)
{
    showParameter("drc", value);
}
void CamSettings::onRecvCameraCACStatus(bool enable)
{
    showParameter("cac", enable);
}
void CamSettings::onRecvCameraLDCIStatus(bool enable)
{
    showParameter("ldci", enable);
}
void CamSettings::onRecvCameraBlackBalanceRedValue(int value)
{
    showParameter("bb_red", value);
}
void CamSettings::onRecvCameraBlackBalanceGreenValue(int value)
{
    showParameter("bb_green", value);
}
void CamSettings::onRecvCameraBlackBalanceBlueValue(int value)
{
    showParameter("bb_blue", value);
}
void CamSettings::onRecvCameraNegativeStatus(bool enable)
{
    showParameter("negative", enable);
}
void CamSettings::onRecvCameraZoomSpeed(int speed)
{
    showParameter("zoom_speed", speed);
}
void CamSettings::onRecvCameraGammaMode(GammaMode mode)
{
    m_info.gammaMode = mode;
    m_gammaCurve->onRecvCameraGammaMode(mode);
}

void CamSettings::onRecvPreviewResChanged(QString res)
{
    const QStringList parts = res.split(QLatin1Char('x'));
    if (parts.size() == 2) {
        m_pictureSize = QSize(parts.at(0).toInt(), parts.at(1).toInt());
        m_roi->setPictureSize(m_pictureSize);
        m_ffc->setCurrentResolution(m_pictureSize);
    }
    emit previewResChanged(res);
}

void CamSettings::onResolutionChange(QString resolution)
{
    onRecvPreviewResChanged(resolution);
}

void CamSettings::onSetCameraDisplayMode(DisplayMode mode)
{
    if (m_camera)
        emit setCameraDisplayMode(mode);
}

namespace {

// Scheme keys of a region: enable, display, x, y, width, height.
struct RegionKeys
{
    const char *keys[6];
};

constexpr RegionKeys kExposureRegion = {{"ExposureRegionEnable", "ExposureDisplayRegion", "ExposureRegionX",
                                         "ExposureRegionY", "ExposureRegionWidth", "ExposureRegionHeight"}};
constexpr RegionKeys kWbRegion = {{"WhiteBalanceRegionEnable", "WhiteBalanceDisplayRegion", "WhiteBalanceRegionX",
                                   "WhiteBalanceRegionY", "WhiteBalanceRegionWidth", "WhiteBalanceRegionHeight"}};
constexpr RegionKeys kBbRegion = {{"BlackBalanceRegionEnable", "BlackBalanceDisplayRegion", "BlackBalanceRegionX",
                                   "BlackBalanceRegionY", "BlackBalanceRegionWidth", "BlackBalanceRegionHeight"}};
constexpr RegionKeys kFocusRegionV2 = {{"FocusRegionV2Enable", "FocusRegionV2DisplayRegion", "FocusRegionV2X",
                                        "FocusRegionV2Y", "FocusRegionV2Width", "FocusRegionV2Height"}};

void putRegion(QVariantMap &values, const RegionKeys &keys, const CameraRegion &region)
{
    const int numbers[] = {region.enable, region.display, region.x, region.y, region.width, region.height};
    for (int i = 0; i < 6; ++i)
        values.insert(QLatin1String(keys.keys[i]), numbers[i]);
}

// The region a scheme holds, over `region` where it leaves keys out.
CameraRegion takeRegion(const QVariantMap &values, const RegionKeys &keys, CameraRegion region)
{
    int *numbers[] = {nullptr, nullptr, &region.x, &region.y, &region.width, &region.height};
    region.enable = values.value(QLatin1String(keys.keys[0]), region.enable).toBool();
    region.display = values.value(QLatin1String(keys.keys[1]), region.display).toBool();
    for (int i = 2; i < 6; ++i)
        *numbers[i] = values.value(QLatin1String(keys.keys[i]), *numbers[i]).toInt();
    return region;
}

CameraRegion regionOf(const QRect &rect, bool enable)
{
    return {enable, enable, rect.x(), rect.y(), rect.width(), rect.height()};
}

} // namespace

QVariantMap CamSettings::schemeValues() const
{
    QVariantMap values;
    for (const ParameterControl *control : std::as_const(m_controls)) {
        if (control->parameter().schemeKey && control->isSupported())
            values.insert(QLatin1String(control->parameter().schemeKey), control->value());
    }
    values.insert(QStringLiteral("RotateAngle"), m_rotate->rotateAngle());
    values.insert(QStringLiteral("GainUnit"), int(m_info.expGainUnit));
    values.insert(QStringLiteral("FocusRegionVersion"), m_info.focusRegionV2.isValid() ? 2 : 1);
    values.insert(QStringLiteral("FocusRegionEnable"), int(m_info.focusRegionEnable));
    values.insert(QStringLiteral("FocusRegionDisplay"), int(m_info.focusRegionEnable));
    values.insert(QStringLiteral("FocusRegionMode"), m_info.focusRegionMode);
    values.insert(QStringLiteral("FocusRegionX"), m_info.focusRegionX);
    values.insert(QStringLiteral("FocusRegionY"), m_info.focusRegionY);
    putRegion(values, kFocusRegionV2, regionOf(m_info.focusRegionV2, m_focusRegionV2Enable));
    values.insert(QStringLiteral("FocusRegionV2SizeEditable"), 1);
    putRegion(values, kExposureRegion, m_info.expRegion);
    putRegion(values, kWbRegion, m_info.wbRegion);
    putRegion(values, kBbRegion, m_bbRegion);
    if (m_info.led.supported)
        values.insert(m_led->schemeValues());
    return values;
}

void CamSettings::applyScheme(const QVariantMap &values)
{
    if (!m_camera)
        return;
    // Groups of keys go to the camera in one request, at their last key.
    const QHash<QString, std::function<void()>> groups = {
        {QStringLiteral("RotateAngle"),
         [&] { m_rotate->applyRotateAngle(values.value(QStringLiteral("RotateAngle")).toInt()); }},
        {QStringLiteral("FocusRegionY"),
         [&] {
             const int mode = values.value(QStringLiteral("FocusRegionMode"), m_info.focusRegionMode).toInt();
             const int x = values.value(QStringLiteral("FocusRegionX"), m_info.focusRegionX).toInt();
             const int y = values.value(QStringLiteral("FocusRegionY"), m_info.focusRegionY).toInt();
             const bool enable = values.value(QStringLiteral("FocusRegionEnable"), m_info.focusRegionEnable).toBool();
             if (!m_info.focusRegionSupported)
                 return;
             emit setCameraFocusRegionStatus(enable);
             emit setCameraFocusRegion(values.value(QStringLiteral("FocusRegionDisplay"), enable).toBool(), mode, x, y);
         }},
        {QStringLiteral("FocusRegionV2Height"),
         [&] {
             if (!m_info.focusRegionV2.isValid())
                 return;
             emit setCameraFocusRegionV2(controlRegion(
                 takeRegion(values, kFocusRegionV2, regionOf(m_info.focusRegionV2, m_focusRegionV2Enable))));
         }},
        {QStringLiteral("GainUnit"),
         [&] {
             m_info.expGainUnit = ExposureGainUnit(values.value(QStringLiteral("GainUnit")).toInt());
             m_gainUnit->setCurrentIndex(m_info.expGainUnit);
             emit setCameraExpGainUnit(m_info.expGainUnit);
         }},
        {QStringLiteral("ExposureRegionHeight"),
         [&] {
             const CameraRegion r = m_info.expRegion = takeRegion(values, kExposureRegion, m_info.expRegion);
             if (m_info.exposureRegionSupported)
                 emit setCameraExpRegion(r.enable, r.display, r.x, r.y, r.width, r.height);
         }},
        {QStringLiteral("WhiteBalanceRegionHeight"),
         [&] {
             const CameraRegion r = m_info.wbRegion = takeRegion(values, kWbRegion, m_info.wbRegion);
             if (m_info.wbRegionSupported)
                 emit setCameraWBRegion(r.enable, r.display, r.x, r.y, r.width, r.height);
         }},
        {QStringLiteral("BlackBalanceRegionHeight"),
         [&] {
             const CameraRegion r = m_bbRegion = takeRegion(values, kBbRegion, m_bbRegion);
             emit setBlackBalanceRegion(r.enable, r.display, r.x, r.y, r.width, r.height);
         }},
        {QStringLiteral("LastLedLevel"),
         [&] {
             if (m_info.led.supported)
                 m_led->applySchemeValues(values);
         }},
    };
    for (const QString &key : configurationSchemeKeys()) {
        if (const auto group = groups.find(key); group != groups.end()) {
            group.value()();
            continue;
        }
        const auto value = values.find(key);
        if (value == values.end())
            continue;
        for (ParameterControl *control : std::as_const(m_controls)) {
            const char *schemeKey = control->parameter().schemeKey;
            if (schemeKey && key == QLatin1String(schemeKey) && control->isSupported()) {
                control->showValue(value->toInt());
                editParameter(control->parameter(), value->toInt());
            }
        }
    }
}

void CamSettings::applyFactorySettings()
{
    // The camera's own defaults, the automatic functions on.
    QVariantMap values{{QStringLiteral("ExposureMode"), int(ExposureAuto)},
                       {QStringLiteral("WhiteBalanceMode"), int(WbAuto)},
                       {QStringLiteral("FocusMode"), int(FocusAuto)}};
    for (const ParameterControl *control : std::as_const(m_controls)) {
        const CameraParameter &p = control->parameter();
        if (!p.schemeKey || values.contains(QLatin1String(p.schemeKey)))
            continue;
        if (p.field.range)
            values.insert(QLatin1String(p.schemeKey), (m_info.*(p.field.range)).def);
        else if (p.kind == CameraParameter::Flag)
            values.insert(QLatin1String(p.schemeKey), 0);
    }
    applyScheme(values);
}
