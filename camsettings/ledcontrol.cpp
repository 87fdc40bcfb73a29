#include "ledcontrol.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Until the camera tells its range.
constexpr int kDefaultMaxLevel = 100;

QString levelKey(int part)
{
    return QStringLiteral("LEDPart%1").arg(part + 1);
}

QString checkedKey(int part)
{
    return QStringLiteral("LED%1Checked").arg(part + 1);
}

const QString kLastLevelKey = QStringLiteral("LastLedLevel");

} // namespace

LedControl::LedControl(QWidget *parent) : QWidget(parent), m_lastLevel(kDefaultMaxLevel)
{
    auto *layout = new QVBoxLayout(this);
    // The parts where they sit around the objective.
    auto *ring = new QGridLayout;
    const char *names[PartCount] = {"led_up_checkBox", "led_left_checkBox", "led_right_checkBox", "led_down_checkBox"};
    const QPoint cells[PartCount] = {{1, 0}, {0, 1}, {2, 1}, {1, 2}};
    for (int i = 0; i < PartCount; ++i) {
        m_parts[i] = new QCheckBox(this);
        m_parts[i]->setObjectName(QString::fromLatin1(names[i]));
        ring->addWidget(m_parts[i], cells[i].y(), cells[i].x());
        connect(m_parts[i], &QCheckBox::toggled, this, [this, i](bool on) { setPart(i, on); });
    }
    layout->addLayout(ring);

    auto *levelRow = new QHBoxLayout;
    m_levelLabel = new QLabel(this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("led_level_slider"));
    m_spin = new QSpinBox(this);
    m_spin->setObjectName(QStringLiteral("led_level_spinBox"));
    // Level 0 is a part off, which its check box says.
    m_slider->setRange(1, kDefaultMaxLevel);
    m_spin->setRange(1, kDefaultMaxLevel);
    levelRow->addWidget(m_levelLabel);
    levelRow->addWidget(m_slider, 1);
    levelRow->addWidget(m_spin);
    layout->addLayout(levelRow);
    connect(m_slider, &QSlider::valueChanged, this, &LedControl::setLevel);
    connect(m_spin, QOverload<int>::of(&QSpinBox::valueChanged), this, &LedControl::setLevel);

    auto *buttons = new QHBoxLayout;
    m_allOn = new QPushButton(this);
    m_allOn->setObjectName(QStringLiteral("led_all_on_btn"));
    m_allOff = new QPushButton(this);
    m_allOff->setObjectName(QStringLiteral("led_all_off_btn"));
    buttons->addWidget(m_allOn);
    buttons->addWidget(m_allOff);
    layout->addLayout(buttons);
    connect(m_allOn, &QPushButton::clicked, this, [this] { setAll(true); });
    connect(m_allOff, &QPushButton::clicked, this, [this] { setAll(false); });

    showLevels();
    retranslate();
}

void LedControl::retranslate()
{
    m_parts[0]->setText(tr("Up"));
    m_parts[1]->setText(tr("Left"));
    m_parts[2]->setText(tr("Right"));
    m_parts[3]->setText(tr("Down"));
    m_levelLabel->setText(tr("Level"));
    m_allOn->setText(tr("All On"));
    m_allOff->setText(tr("All Off"));
}

void LedControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void LedControl::setPart(int part, bool on)
{
    m_levels[part] = on ? m_lastLevel : 0;
    emit setCameraLed(part, m_levels[part]);
}

void LedControl::setLevel(int level)
{
    m_lastLevel = level;
    showLevels();
    for (int i = 0; i < m_partCount; ++i) {
        if (m_parts[i]->isChecked() && m_levels[i] != level) {
            m_levels[i] = level;
            emit setCameraLed(i, level);
        }
    }
}

void LedControl::setAll(bool on)
{
    for (int i = 0; i < PartCount; ++i)
        m_levels[i] = on && i < m_partCount ? m_lastLevel : 0;
    showLevels();
    sendAll();
}

void LedControl::sendAll()
{
    emit setCameraAllLed(m_levels[0], m_levels[1], m_levels[2], m_levels[3]);
}

void LedControl::showLevels()
{
    for (int i = 0; i < PartCount; ++i) {
        const QSignalBlocker blocker(m_parts[i]);
        m_parts[i]->setChecked(m_levels[i] > 0);
    }
    const QSignalBlocker sliderBlocker(m_slider);
    const QSignalBlocker spinBlocker(m_spin);
    m_slider->setValue(m_lastLevel);
    m_spin->setValue(m_lastLevel);
}

void LedControl::onRecvCameraLedInfo(LedInfo info)
{
    setEnabled(info.supported);
    m_partCount = std::clamp(info.partCount, 0, int(PartCount));
    for (int i = 0; i < PartCount; ++i) {
        m_parts[i]->setVisible(i < m_partCount);
        m_levels[i] = i < m_partCount ? info.levels[i] : 0;
    }
    const int minimum = std::max(info.minLevel, 1);
    const int maximum = std::max(info.maxLevel, minimum);
    {
        const QSignalBlocker sliderBlocker(m_slider);
        const QSignalBlocker spinBlocker(m_spin);
        m_slider->setRange(minimum, maximum);
        m_spin->setRange(minimum, maximum);
    }
    // The level of a lit part; else the level kept, or the camera's default when it is out of range.
    const auto lit = std::find_if(m_levels.begin(), m_levels.end(), [](int level) { return level > 0; });
    if (lit != m_levels.end())
        m_lastLevel = *lit;
    else if (m_lastLevel < minimum || m_lastLevel > maximum)
        m_lastLevel = std::clamp(info.defaultLevel > 0 ? info.defaultLevel : maximum, minimum, maximum);
    showLevels();
}

QVariantMap LedControl::schemeValues() const
{
    QVariantMap values;
    for (int i = 0; i < PartCount; ++i) {
        values.insert(levelKey(i), m_levels[i]);
        values.insert(checkedKey(i), m_parts[i]->isChecked() ? 1 : 0);
    }
    values.insert(kLastLevelKey, m_lastLevel);
    return values;
}

void LedControl::applySchemeValues(const QVariantMap &values)
{
    if (values.contains(kLastLevelKey))
        m_lastLevel = std::clamp(values.value(kLastLevelKey).toInt(), m_slider->minimum(), m_slider->maximum());
    for (int i = 0; i < PartCount; ++i) {
        const int level = values.value(levelKey(i), m_levels[i]).toInt();
        const bool on = values.value(checkedKey(i), m_levels[i] > 0).toInt() != 0;
        // A part checked in the scheme but stored dark comes on at the last level.
        m_levels[i] = on && i < m_partCount ? (level > 0 ? level : m_lastLevel) : 0;
    }
    showLevels();
    sendAll();
}
