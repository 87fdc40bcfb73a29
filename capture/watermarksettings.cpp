#include "watermarksettings.h"

#include "configstore.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPointF>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <iterator>

namespace {

// Indexed by "DateFormatIndex" and "TimeFormatIndex"; the trailing space separates date and time.
const char *const kDateFormats[] = {"yyyy/MM/dd ", "MM/dd/yyyy ", "dd/MM/yyyy ", "yyyy-MM-dd "};
const char *const kTimeFormats[] = {"hh:mm:ss ", "hh:mm ", "hh:mm:ss AP "};

constexpr int kDefaultFontSize = 32;
const QPointF kDefaultPosition(25.0, -25.0); // from the top edge

int index(const QVariant &stored, int count)
{
    const int i = stored.toInt();
    return i >= 0 && i < count ? i : 0;
}

} // namespace

WatermarkSettings::WatermarkSettings(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Watermark Settings"));
    auto *form = new QFormLayout(this);
    m_date = new QCheckBox(tr("Date"));
    m_date->setObjectName(QStringLiteral("date_checkBox"));
    m_dateFormats = new QComboBox;
    m_dateFormats->setObjectName(QStringLiteral("dateFormat_comboBox"));
    for (const char *format : kDateFormats)
        m_dateFormats->addItem(QString::fromLatin1(format).trimmed());
    form->addRow(m_date, m_dateFormats);
    m_time = new QCheckBox(tr("Time"));
    m_time->setObjectName(QStringLiteral("time_checkBox"));
    m_timeFormats = new QComboBox;
    m_timeFormats->setObjectName(QStringLiteral("timeFormat_comboBox"));
    for (const char *format : kTimeFormats)
        m_timeFormats->addItem(QString::fromLatin1(format).trimmed());
    form->addRow(m_time, m_timeFormats);
    m_fontSize = new QSpinBox;
    m_fontSize->setObjectName(QStringLiteral("fontSize_spinBox"));
    m_fontSize->setRange(8, 200);
    form->addRow(tr("Font Size"), m_fontSize);
    m_color = new QToolButton;
    m_color->setObjectName(QStringLiteral("watermarkColor_tBtn"));
    form->addRow(tr("Color"), m_color);
    m_x = new QDoubleSpinBox;
    m_x->setObjectName(QStringLiteral("positionX_spinBox"));
    m_y = new QDoubleSpinBox;
    m_y->setObjectName(QStringLiteral("positionY_spinBox"));
    for (QDoubleSpinBox *box : {m_x, m_y}) {
        box->setRange(-10000, 10000);
        box->setDecimals(1);
    }
    form->addRow(tr("X"), m_x);
    form->addRow(tr("Y"), m_y);
    m_fuseBox = new QCheckBox(tr("Merge into photos"));
    m_fuseBox->setObjectName(QStringLiteral("fuseToPic_checkBox"));
    form->addRow(QString(), m_fuseBox);
    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(tr("OK"));
    ok->setObjectName(QStringLiteral("ok_btn"));
    auto *cancel = new QPushButton(tr("Cancel"));
    cancel->setObjectName(QStringLiteral("cancel_btn"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    form->addRow(buttons);

    load();
    QMetaObject::connectSlotsByName(this);
    connect(&m_timer, &QTimer::timeout, this, &WatermarkSettings::onChangeWatermaskText);
    m_timer.start(1000);
}

void WatermarkSettings::load()
{
    ConfigStore &store = ConfigStore::instance();
    m_dateShown = store.value(ConfigGroup::Watermask, WatermaskKey::EnableDate, true).toBool();
    m_dateFormat =
        index(store.value(ConfigGroup::Watermask, WatermaskKey::DateFormatIndex), int(std::size(kDateFormats)));
    m_timeShown = store.value(ConfigGroup::Watermask, WatermaskKey::EnableTime, true).toBool();
    m_timeFormat =
        index(store.value(ConfigGroup::Watermask, WatermaskKey::TimeFormatIndex), int(std::size(kTimeFormats)));
    m_fuse = store.value(ConfigGroup::Watermask, WatermaskKey::FuseToPic, false).toBool();
    m_info.fontSize = store.value(ConfigGroup::Watermask, WatermaskKey::FontSize, kDefaultFontSize).toInt();
    const QColor color = store.value(ConfigGroup::Watermask, WatermaskKey::TextColor).value<QColor>();
    m_info.color = color.isValid() ? color : QColor(0, 0, 0, 255);
    const QVariant position = store.value(ConfigGroup::Watermask, WatermaskKey::Position, kDefaultPosition);
    m_info.x = position.toPointF().x();
    m_info.y = position.toPointF().y();

    m_date->setChecked(m_dateShown);
    m_dateFormats->setCurrentIndex(m_dateFormat);
    m_time->setChecked(m_timeShown);
    m_timeFormats->setCurrentIndex(m_timeFormat);
    m_fontSize->setValue(m_info.fontSize);
    m_x->setValue(m_info.x);
    m_y->setValue(m_info.y);
    m_fuseBox->setChecked(m_fuse);
    showColor(m_info.color);
    onChangeWatermaskText();
}

void WatermarkSettings::showColor(const QColor &color)
{
    m_pickedColor = color;
    m_color->setStyleSheet(
        QStringLiteral("background-color: rgb(%1,%2,%3)").arg(color.red()).arg(color.green()).arg(color.blue()));
}

void WatermarkSettings::onChangeWatermaskText()
{
    const QDateTime now = QDateTime::currentDateTime();
    m_info.text.clear();
    if (m_dateShown)
        m_info.text += now.toString(QString::fromLatin1(kDateFormats[m_dateFormat]));
    if (m_timeShown)
        m_info.text += now.toString(QString::fromLatin1(kTimeFormats[m_timeFormat]));
    emit updateWatermarkText(m_info);
}

void WatermarkSettings::on_watermarkColor_tBtn_clicked()
{
    const QColor color = QColorDialog::getColor(m_pickedColor, this);
    if (color.isValid())
        showColor(color);
}

void WatermarkSettings::on_ok_btn_clicked()
{
    ConfigStore &store = ConfigStore::instance();
    store.write(ConfigGroup::Watermask, WatermaskKey::EnableDate, m_date->isChecked());
    store.write(ConfigGroup::Watermask, WatermaskKey::DateFormatIndex, m_dateFormats->currentIndex());
    store.write(ConfigGroup::Watermask, WatermaskKey::EnableTime, m_time->isChecked());
    store.write(ConfigGroup::Watermask, WatermaskKey::TimeFormatIndex, m_timeFormats->currentIndex());
    store.write(ConfigGroup::Watermask, WatermaskKey::FontSize, m_fontSize->value());
    store.write(ConfigGroup::Watermask, WatermaskKey::TextColor, m_pickedColor);
    store.write(ConfigGroup::Watermask, WatermaskKey::Position, QPointF(m_x->value(), m_y->value()));
    store.write(ConfigGroup::Watermask, WatermaskKey::FuseToPic, m_fuseBox->isChecked());
    load();
    accept();
}

void WatermarkSettings::on_cancel_btn_clicked()
{
    load();
    reject();
}
