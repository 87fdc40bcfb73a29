#include "photosettings.h"

#include "configstore.h"
#include "namingform.h"
#include "photonaming.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimeEdit>

using namespace NamingForm;

namespace {

ConfigStore &store()
{
    return ConfigStore::instance();
}

// A "yes / no" pair of radio buttons in one row.
QWidget *choice(QRadioButton *yes, QRadioButton *no)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(yes);
    layout->addWidget(no);
    layout->addStretch();
    return row;
}

} // namespace

PhotoSettings::PhotoSettings(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Snap Settings"));
    build();
    load();
    // The slots follow the on_<object>_<signal> pattern; connected only now, so that loading
    // the stored values writes nothing back.
    QMetaObject::connectSlotsByName(this);
}

void PhotoSettings::build()
{
    auto *form = new QFormLayout(this);

    m_savePath = named(new QLineEdit, "savePath_lineEdit");
    m_savePath->setReadOnly(true);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(m_savePath);
    pathRow->addWidget(named(new QPushButton(tr("Select")), "openSavePath_btn"));
    form->addRow(tr("Save Path"), pathRow);

    m_prefix = named(new QLineEdit, "prefix_lineEdit");
    form->addRow(tr("NamePrefix"), m_prefix);
    m_naming = new QButtonGroup(this);
    const struct
    {
        const char *object;
        const char *text;
        PhotoNaming::Kind kind;
    } kinds[] = {{"timeNaming_checkBox", "Time", PhotoNaming::Time},
                 {"autoIndex_checkBox", "Auto Index", PhotoNaming::AutoIndex},
                 {"scanCodeNaming_checkBox", "Scan Code", PhotoNaming::ScanCode},
                 {"smartScanNaming_checkBox", "Smart Scan", PhotoNaming::SmartScan}};
    for (const auto &k : kinds)
        m_naming->addButton(named(new QCheckBox(tr(k.text)), k.object), k.kind);
    m_timeFormat = timeFormatBox();
    m_digits = digitsBox();
    m_saveScanResult = named(new QComboBox, "saveScanResult_comboBox");
    m_saveScanResult->addItems({tr("Save Scan Result"), tr("Not Save Scan Result")});
    QWidget *const partners[] = {m_timeFormat, m_digits, nullptr, m_saveScanResult};
    auto *naming = new QFormLayout;
    for (int i = 0; i < 4; ++i) {
        if (partners[i])
            naming->addRow(m_naming->button(i), partners[i]);
        else
            naming->addRow(m_naming->button(i));
    }
    form->addRow(tr("Naming"), naming);
    m_sample = named(new QLabel, "sample_label");
    form->addRow(tr("Sample"), m_sample);

    m_format = named(new QComboBox, "format_comboBox");
    m_format->addItems(PhotoNaming::formats());
    form->addRow(tr("Photo Format"), m_format);

    m_saveGraphicsYes = named(new QRadioButton(tr("Yes")), "saveGraphicsY_rBtn");
    m_saveGraphicsNo = named(new QRadioButton(tr("No")), "saveGraphicsN_tBtn");
    form->addRow(tr("Save Graphics"), choice(m_saveGraphicsYes, m_saveGraphicsNo));
    m_mergeYes = named(new QRadioButton(tr("Merge")), "mergeImageY_rbtn");
    m_mergeNo = named(new QRadioButton(tr("No")), "mergeImageN_rbtn");
    form->addRow(tr("Merge Annotation"), choice(m_mergeYes, m_mergeNo));
    m_textScale = named(new QComboBox, "textScale_comboBox");
    for (int percent = 50; percent <= 300; percent += 50)
        m_textScale->addItem(QStringLiteral("%1%").arg(percent), percent);
    form->addRow(tr("Text Scaling"), m_textScale);
    m_crossLine = named(new QCheckBox(tr("Cross Line")), "crossLine_cBox");
    m_gridLine = named(new QCheckBox(tr("Grid Line")), "gridLine_cBox");
    m_measureScale = named(new QCheckBox(tr("MeasureScale")), "measureScale_cBox");
    auto *overlays = new QHBoxLayout;
    overlays->addWidget(m_crossLine);
    overlays->addWidget(m_gridLine);
    overlays->addWidget(m_measureScale);
    form->addRow(QString(), overlays);
    m_autoSaveYes = named(new QRadioButton(tr("Yes")), "autoSaveImageY_rBtn");
    m_autoSaveNo = named(new QRadioButton(tr("No")), "autoSaveImageN_rBtn");
    form->addRow(tr("Auto Save Image"), choice(m_autoSaveYes, m_autoSaveNo));

    m_enableTiming = named(new QCheckBox(tr("Enable")), "enableTiming_checkBox");
    m_remainingTime = secondsEdit("remainingTime_timeEdit");
    auto *timing = new QHBoxLayout;
    timing->addWidget(m_enableTiming);
    timing->addWidget(m_remainingTime);
    form->addRow(tr("Timing"), timing);

    addCloseButton(this, form);
}

void PhotoSettings::load()
{
    const PhotoNaming naming = PhotoNaming::fromSettings();
    m_savePath->setText(store().value(ConfigGroup::Base, BaseKey::SaveImgPath).toString());
    m_prefix->setText(naming.prefix);
    m_acceptedPrefix = naming.prefix;
    m_naming->button(naming.kind)->setChecked(true);
    m_timeFormat->setCurrentIndex(naming.timeFormatIndex);
    m_digits->setCurrentIndex(naming.digits - 4);
    m_saveScanResult->setCurrentIndex(store().value(ConfigGroup::Snap, SnapKey::SaveScanResult, true).toBool() ? 0 : 1);
    m_format->setCurrentText(naming.format);
    const bool saveGraphics = store().value(DrawProperty::SaveGraphics, false).toBool();
    (saveGraphics ? m_saveGraphicsYes : m_saveGraphicsNo)->setChecked(true);
    const bool merge = store().value(ConfigGroup::Snap, SnapKey::MergeImage, false).toBool();
    (merge ? m_mergeYes : m_mergeNo)->setChecked(true);
    const int scale = m_textScale->findData(store().value(ConfigGroup::Snap, SnapKey::MergeTextScale, 100).toInt());
    m_textScale->setCurrentIndex(scale >= 0 ? scale : 1);
    m_crossLine->setChecked(store().value(DrawProperty::DrawAuxiliaryMarkerFuseToPic, false).toBool());
    m_gridLine->setChecked(store().value(DrawProperty::DrawGridLineFuseToPic, false).toBool());
    m_measureScale->setChecked(store().value(DrawProperty::MeasureScaleFuseToPic, true).toBool());
    const bool autoSave = store().value(DrawProperty::AutoSaveImage, false).toBool();
    (autoSave ? m_autoSaveYes : m_autoSaveNo)->setChecked(true);
    m_enableTiming->setChecked(store().value(ConfigGroup::Snap, SnapKey::EnableTiming, false).toBool());
    m_remainingTime->setTime(QTime(0, 0).addSecs(store().value(ConfigGroup::Snap, SnapKey::RemainingTime, 0).toInt()));
    updateSample();
}

void PhotoSettings::writeDraw(DrawProperty property, const QVariant &value)
{
    store().write(property, value);
    emit changeDrawProp(property, value);
}

void PhotoSettings::updateSample()
{
    m_sample->setText(PhotoNaming::fromSettings().sampleName());
}

void PhotoSettings::on_openSavePath_btn_clicked()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Select"), m_savePath->text());
    if (folder.isEmpty())
        return;
    m_savePath->setText(folder);
    store().write(ConfigGroup::Base, BaseKey::SaveImgPath, folder);
}

void PhotoSettings::on_mergeImageY_rbtn_toggled(bool checked)
{
    store().write(ConfigGroup::Snap, SnapKey::MergeImage, checked);
}

void PhotoSettings::on_saveGraphicsY_rBtn_toggled(bool checked)
{
    if (checked)
        writeDraw(DrawProperty::SaveGraphics, true);
}

void PhotoSettings::on_saveGraphicsN_tBtn_toggled(bool checked)
{
    if (checked)
        writeDraw(DrawProperty::SaveGraphics, false);
}

void PhotoSettings::setNamingKind(int kind, int state)
{
    if (state != Qt::Checked)
        return;
    writeDraw(DrawProperty::SaveType, kind);
    emit signalScanRegionDisplayChanged(kind == PhotoNaming::ScanCode || kind == PhotoNaming::SmartScan);
    updateSample();
}

void PhotoSettings::on_timeNaming_checkBox_stateChanged(int state)
{
    setNamingKind(PhotoNaming::Time, state);
}

void PhotoSettings::on_autoIndex_checkBox_stateChanged(int state)
{
    setNamingKind(PhotoNaming::AutoIndex, state);
}

void PhotoSettings::on_scanCodeNaming_checkBox_stateChanged(int state)
{
    setNamingKind(PhotoNaming::ScanCode, state);
}

void PhotoSettings::on_smartScanNaming_checkBox_stateChanged(int state)
{
    setNamingKind(PhotoNaming::SmartScan, state);
}

void PhotoSettings::on_format_comboBox_currentIndexChanged(int index)
{
    writeDraw(DrawProperty::PhotoFormat, m_format->itemText(index));
    updateSample();
}

void PhotoSettings::on_timeNaming_comboBox_currentIndexChanged(int index)
{
    store().write(ConfigGroup::Snap, SnapKey::TimeNamingFormatIndex, index);
    updateSample();
}

void PhotoSettings::on_autoIndexDigit_comboBox_currentIndexChanged(int index)
{
    store().write(ConfigGroup::Snap, SnapKey::AutoNumberingDigits, index + 4);
    updateSample();
}

void PhotoSettings::on_prefix_lineEdit_textChanged(const QString &text)
{
    if (!PhotoNaming::isValidPrefix(text)) {
        // The refused text goes back to the last accepted prefix, which stays stored.
        const QSignalBlocker blocker(m_prefix);
        m_prefix->setText(m_acceptedPrefix);
        onPrefixLineEditInputError();
        return;
    }
    m_acceptedPrefix = text;
    writeDraw(DrawProperty::PrefixData, text);
    updateSample();
}

void PhotoSettings::onPrefixLineEditInputError()
{
    warnRefusedPrefix(this);
}

void PhotoSettings::on_enableTiming_checkBox_stateChanged(int state)
{
    store().write(ConfigGroup::Snap, SnapKey::EnableTiming, state == Qt::Checked);
}

void PhotoSettings::on_remainingTime_timeEdit_timeChanged(const QTime &time)
{
    store().write(ConfigGroup::Snap, SnapKey::RemainingTime, QTime(0, 0).secsTo(time));
}

void PhotoSettings::on_textScale_comboBox_currentIndexChanged(int index)
{
    store().write(ConfigGroup::Snap, SnapKey::MergeTextScale, m_textScale->itemData(index));
}

void PhotoSettings::on_autoSaveImageY_rBtn_toggled(bool checked)
{
    if (checked)
        writeDraw(DrawProperty::AutoSaveImage, true);
}

void PhotoSettings::on_autoSaveImageN_rBtn_toggled(bool checked)
{
    if (checked)
        writeDraw(DrawProperty::AutoSaveImage, false);
}

void PhotoSettings::on_measureScale_cBox_toggled(bool checked)
{
    writeDraw(DrawProperty::MeasureScaleFuseToPic, checked);
}

void PhotoSettings::on_crossLine_cBox_toggled(bool checked)
{
    writeDraw(DrawProperty::DrawAuxiliaryMarkerFuseToPic, checked);
}

void PhotoSettings::on_gridLine_cBox_toggled(bool checked)
{
    writeDraw(DrawProperty::DrawGridLineFuseToPic, checked);
}

void PhotoSettings::on_saveScanResult_comboBox_currentIndexChanged(int index)
{
    store().write(ConfigGroup::Snap, SnapKey::SaveScanResult, index == 0);
}
