#include "calibrationpropertysetdialog.h"

#include "drawpropertydialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

namespace {

// A calibration in pixels draws its bar over a quarter of the picture, whatever length it keeps.
bool inPixels(const CalibrateData &data)
{
    return UnitConverter::unitCode(data.unit) <= Unit::Pixel;
}

} // namespace

CalibrationPropertySetDialog::CalibrationPropertySetDialog(CalibrationStore &store, int current, int streamWidth,
                                                           QWidget *parent)
    : QDialog(parent)
    , m_store(store)
    , m_current(current)
    , m_streamWidth(streamWidth)
    , m_list(new QListWidget(this))
    , m_delete(new QPushButton(tr("Delete"), this))
    , m_length(new QLineEdit(this))
    , m_unit(new QLabel(this))
    , m_lineWidth(new QSpinBox(this))
    , m_textSize(new QSpinBox(this))
    , m_colour(new ColourButton(this))
    , m_showScale(new QCheckBox(tr("Show scale bar"), this))
    , m_showMagnification(new QCheckBox(tr("Show magnification"), this))
    , m_decimals(new QSpinBox(this))
{
    setWindowTitle(tr("Calibration"));
    m_list->setObjectName(QStringLiteral("calibration_listWidget"));
    m_delete->setObjectName(QStringLiteral("delete_btn"));
    m_length->setObjectName(QStringLiteral("scaleLength_lineEdit"));
    m_length->setValidator(new QDoubleValidator(0, 1e12, 6, m_length));
    m_lineWidth->setObjectName(QStringLiteral("lineWidth_spinBox"));
    m_lineWidth->setRange(1, 20);
    m_textSize->setObjectName(QStringLiteral("textSize_spinBox"));
    m_textSize->setRange(6, 200);
    m_colour->setObjectName(QStringLiteral("colour_btn"));
    m_showScale->setObjectName(QStringLiteral("showScale_checkBox"));
    m_showMagnification->setObjectName(QStringLiteral("showMagnification_checkBox"));
    m_decimals->setObjectName(QStringLiteral("decimals_spinBox"));
    m_decimals->setRange(0, 9);
    m_decimals->setValue(2);

    auto *form = new QFormLayout(this);
    form->addRow(m_list);
    form->addRow(m_delete);
    auto *length = new QHBoxLayout;
    length->addWidget(m_length);
    length->addWidget(m_unit);
    form->addRow(tr("Scale length"), length);
    form->addRow(tr("Line width"), m_lineWidth);
    form->addRow(tr("Font size"), m_textSize);
    form->addRow(tr("Line colour"), m_colour);
    form->addRow(m_showScale);
    form->addRow(m_showMagnification);
    form->addRow(tr("Decimals"), m_decimals);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalibrationPropertySetDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, &CalibrationPropertySetDialog::showRecord);
    connect(m_delete, &QPushButton::clicked, this, &CalibrationPropertySetDialog::deleteChosen);
    fillList();
}

void CalibrationPropertySetDialog::setShowScale(bool show)
{
    m_showScale->setChecked(show);
}

void CalibrationPropertySetDialog::setShowMagnification(bool show)
{
    m_showMagnification->setChecked(show);
}

void CalibrationPropertySetDialog::setDecimals(int decimals)
{
    m_decimals->setValue(decimals);
}

int CalibrationPropertySetDialog::chosen() const
{
    return m_list->currentRow() - 1;
}

CalibrateData CalibrationPropertySetDialog::record(int index) const
{
    return index >= 0 ? m_stored.value(index) : m_store.defaultCalibration();
}

void CalibrationPropertySetDialog::fillList()
{
    m_stored = m_store.calibrations();
    m_list->clear();
    m_list->addItem(m_store.defaultCalibration().name);
    for (const CalibrateData &data : qAsConst(m_stored))
        m_list->addItem(data.name);
    m_list->setCurrentRow(m_current >= 0 && m_current < m_stored.size() ? m_current + 1 : 0);
}

void CalibrationPropertySetDialog::showRecord()
{
    const int index = chosen();
    const CalibrateData data = record(index);
    m_delete->setEnabled(index >= 0);
    const bool pixels = inPixels(data);
    m_length->setEnabled(!pixels);
    m_length->setPlaceholderText(pixels ? tr("A quarter of the picture") : QString());
    m_length->setText(pixels ? QString()
                             : QString::number(ScaleLength::forCalibration(data, data.converter(m_streamWidth),
                                                                           UnitConverter::unitCode(data.unit), 0),
                                               'g', 6));
    m_unit->setText(pixels ? QString() : data.unit);
    m_lineWidth->setValue(data.scaleLineWidth);
    m_textSize->setValue(data.scaleTextSize);
    m_colour->setColour(data.scaleColor);
}

void CalibrationPropertySetDialog::deleteChosen()
{
    const int index = chosen();
    if (index < 0)
        return;
    if (!m_store.remove(index)) {
        warn({tr("Warning"), tr("The calibration could not be deleted.")});
        return;
    }
    if (m_current == index)
        m_current = -1;
    else if (m_current > index)
        --m_current;
    fillList();
    emit signalCalibrationDel(index);
}

void CalibrationPropertySetDialog::accept()
{
    const int index = chosen();
    const CalibrateData stored = record(index);
    CalibrateData data = stored;
    if (m_length->isEnabled()) {
        const double pixelsPerUnit = data.converter(m_streamWidth).toPixels(1, UnitConverter::unitCode(data.unit));
        CalibrationMessage warning;
        if (!ScaleLength::check(m_length->text(), pixelsPerUnit, &warning)) {
            warn(warning);
            return;
        }
        data.scaleCurrentLength = QString::number(m_length->text().trimmed().toDouble(), 'g', 6) + data.unit;
    }
    data.scaleLineWidth = m_lineWidth->value();
    data.scaleTextSize = m_textSize->value();
    data.scaleColor = m_colour->colour();
    if (!data.sameExchanged(stored)) {
        if (index < 0) {
            m_store.storeDefault(data);
        } else if (!m_store.replace(index, data)) {
            warn({tr("Warning"), tr("The calibration could not be stored.")});
            return;
        }
        emit signalCalibrationChanged(index);
    }
    if (index != m_current)
        emit signalCalibrationChosen(index);
    emit signalShowScale(m_showScale->isChecked());
    emit signalShowMagnification(m_showMagnification->isChecked());
    emit signalDecimalsChanged(m_decimals->value());
    QDialog::accept();
}

// Not waited for: the dialog stays open for another try.
void CalibrationPropertySetDialog::warn(const CalibrationMessage &message)
{
    auto *box = new QMessageBox(QMessageBox::Warning, message.title, message.text, QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
