#include "calibrationwidget.h"

#include "configstore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

CalibrationWidget::CalibrationWidget(double pixels, const QSize &resolution, QList<CalibrateData> stored,
                                     QWidget *parent)
    : QDialog(parent)
    , m_pixels(pixels)
    , m_resolution(resolution)
    , m_stored(std::move(stored))
    , m_name(new QLineEdit(this))
    , m_length(new QLineEdit(this))
    , m_unit(new QComboBox(this))
    , m_magnification(new QComboBox(this))
    , m_perPixel(new QLabel(this))
    , m_error(new QLabel(this))
{
    setWindowTitle(tr("Calibrate"));
    m_name->setObjectName(QStringLiteral("name_lineEdit"));
    m_length->setObjectName(QStringLiteral("length_lineEdit"));
    m_length->setValidator(new QDoubleValidator(0, 1e12, 6, m_length));
    m_unit->setObjectName(QStringLiteral("unit_comboBox"));
    for (int unit = Unit::Pixel; unit <= Unit::Inch; ++unit)
        m_unit->addItem(UnitConverter::unitName(unit), unit);
    // The unit used last, or micrometres on a fresh machine.
    const int last =
        ConfigStore::instance().value(ConfigGroup::Settings, SettingsKey::CalibrateUnit, Unit::Micrometre).toInt();
    m_unit->setCurrentIndex(std::max(0, m_unit->findData(last)));
    m_magnification->setObjectName(QStringLiteral("magnification_comboBox"));
    m_magnification->setEditable(true);
    m_magnification->addItems(
        {QStringLiteral("100X"), QStringLiteral("40X"), QStringLiteral("20X"), QStringLiteral("10X")});
    m_magnification->setCurrentIndex(3);
    m_error->setObjectName(QStringLiteral("error_label"));
    m_error->setStyleSheet(QStringLiteral("color: red"));

    auto *form = new QFormLayout(this);
    form->addRow(tr("Pixels"), new QLabel(QString::number(pixels, 'f', 2), this));
    form->addRow(tr("Name"), m_name);
    form->addRow(tr("Length"), m_length);
    form->addRow(tr("Unit"), m_unit);
    form->addRow(tr("Magnification"), m_magnification);
    form->addRow(m_perPixel);
    form->addRow(m_error);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalibrationWidget::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    connect(m_length, &QLineEdit::textChanged, this, &CalibrationWidget::updatePerPixel);
    connect(m_unit, qOverload<int>(&QComboBox::currentIndexChanged), this, &CalibrationWidget::updatePerPixel);
    updatePerPixel();
}

void CalibrationWidget::updatePerPixel()
{
    const double length = m_length->text().toDouble();
    m_perPixel->setText(
        tr("%1/pixel").arg(QString::number(m_pixels > 0 ? length / m_pixels : 0, 'g', 6) + m_unit->currentText()));
}

CalibrateData CalibrationWidget::data() const
{
    return CalibrateData::create(m_name->text().trimmed(), m_magnification->currentText().trimmed(),
                                 m_length->text().toDouble(), m_unit->currentText(), m_pixels, m_resolution);
}

void CalibrationWidget::accept()
{
    if (m_name->text().trimmed().isEmpty() || m_length->text().isEmpty() || m_length->text().toDouble() <= 0) {
        m_error->setText(tr("Calibration parameters cannot be empty"));
        return;
    }
    const QString magnification = m_magnification->currentText().trimmed();
    if (magnification.compare(QLatin1String("0X"), Qt::CaseInsensitive) == 0 || magnification == QLatin1String("0")) {
        QMessageBox::information(this, tr("Info"), tr("The magnification cannot be 0!"), QMessageBox::Ok);
        return;
    }
    const CalibrateData made = data();
    for (const CalibrateData &kept : qAsConst(m_stored)) {
        if (kept.name == made.name && kept.length == made.length && kept.unit == made.unit &&
            kept.magnification == made.magnification) {
            m_error->setText(tr("Calibration exist"));
            return;
        }
    }
    ConfigStore::instance().write(ConfigGroup::Settings, SettingsKey::CalibrateUnit, m_unit->currentData());
    QDialog::accept();
}
