#include "burstmodesettings.h"

#include "configstore.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QTimeEdit>

namespace {

// Both must be at least 1 for a series to start.
constexpr int kDefaultNumber = 1;
constexpr int kDefaultInterval = 1;

void writeCount(int key, const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && value >= 1)
        ConfigStore::instance().write(ConfigGroup::BurstMode, key, value);
}

} // namespace

BurstModeSettings::BurstModeSettings(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Time Lapse Settings"));
    ConfigStore &store = ConfigStore::instance();
    auto *form = new QFormLayout(this);
    m_number = new QLineEdit(store.value(ConfigGroup::BurstMode, BurstModeKey::Number, kDefaultNumber).toString());
    m_number->setObjectName(QStringLiteral("burstModeNumber_lineEdit"));
    m_number->setValidator(new QIntValidator(1, 100000, m_number));
    form->addRow(tr("Number"), m_number);
    m_interval =
        new QLineEdit(store.value(ConfigGroup::BurstMode, BurstModeKey::Interval, kDefaultInterval).toString());
    m_interval->setObjectName(QStringLiteral("burstModeInterval_s_lineEdit"));
    m_interval->setValidator(new QIntValidator(1, 86400, m_interval));
    form->addRow(tr("Interval (s)"), m_interval);
    m_enableTiming = new QCheckBox(tr("Enable"));
    m_enableTiming->setObjectName(QStringLiteral("enableTiming_checkBox"));
    m_enableTiming->setChecked(store.value(ConfigGroup::BurstMode, BurstModeKey::EnableTiming, false).toBool());
    m_remainingTime = new QTimeEdit;
    m_remainingTime->setObjectName(QStringLiteral("remainingTime_timeEdit"));
    m_remainingTime->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    m_remainingTime->setTime(
        QTime(0, 0).addSecs(store.value(ConfigGroup::BurstMode, BurstModeKey::RemainingTime, 0).toInt()));
    form->addRow(tr("Timing"), m_enableTiming);
    form->addRow(QString(), m_remainingTime);
    // Every change is kept as it is made: the box only closes the dialog.
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
    QMetaObject::connectSlotsByName(this);
}

void BurstModeSettings::on_burstModeNumber_lineEdit_textChanged(const QString &text)
{
    writeCount(BurstModeKey::Number, text);
}

void BurstModeSettings::on_burstModeInterval_s_lineEdit_textChanged(const QString &text)
{
    writeCount(BurstModeKey::Interval, text);
}

void BurstModeSettings::on_enableTiming_checkBox_stateChanged(int state)
{
    ConfigStore::instance().write(ConfigGroup::BurstMode, BurstModeKey::EnableTiming, state == Qt::Checked);
}

void BurstModeSettings::on_remainingTime_timeEdit_timeChanged(const QTime &time)
{
    ConfigStore::instance().write(ConfigGroup::BurstMode, BurstModeKey::RemainingTime, QTime(0, 0).secsTo(time));
}
