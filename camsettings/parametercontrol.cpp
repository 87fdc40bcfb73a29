#include "parametercontrol.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <cmath>

ParameterControl::ParameterControl(const CameraParameter &parameter, const QString &label,
                                   const QStringList &choiceLabels, QWidget *parent)
    : QWidget(parent), m_parameter(parameter)
{
    const QString name = QString::fromLatin1(parameter.name);
    setObjectName(name);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_caption = new QLabel(label, this);

    if (parameter.kind == CameraParameter::Choice || !choiceLabels.isEmpty()) {
        m_choices = new QButtonGroup(this);
        auto *row = new QHBoxLayout;
        const int count =
            parameter.kind == CameraParameter::Flag ? 2 : int(QString::fromLatin1(parameter.choices).split('|').size());
        for (int i = 0; i < count; ++i) {
            auto *button = new QRadioButton(this);
            button->setObjectName(name + QLatin1Char('_') + QString::number(i));
            m_choices->addButton(button, i);
            row->addWidget(button);
            if (parameter.kind == CameraParameter::Flag)
                m_choiceValues << i;
            else
                m_choiceValues << (parameter.choiceValues ? parameter.choiceValues[i] : i + 1);
        }
        row->addStretch();
        layout->addWidget(m_caption, 0, 0);
        layout->addLayout(row, 1, 0);
        connect(m_choices, &QButtonGroup::idClicked, this, [this](int id) { emitEdit(m_choiceValues.value(id)); });
    } else if (parameter.kind == CameraParameter::Flag) {
        m_check = new QCheckBox(label, this);
        m_check->setObjectName(name + QLatin1String("_check"));
        m_caption->hide();
        layout->addWidget(m_check, 0, 0);
        connect(m_check, &QCheckBox::toggled, this, [this](bool on) { emitEdit(on ? 1 : 0); });
    } else {
        m_slider = new QSlider(Qt::Horizontal, this);
        m_slider->setObjectName(name + QLatin1String("_slider"));
        m_spin = new QDoubleSpinBox(this);
        m_spin->setObjectName(name + QLatin1String("_spin"));
        m_spin->setDecimals(0);
        m_spin->setKeyboardTracking(false);
        m_spin->setMinimumWidth(72);
        m_reset = new QToolButton(this);
        m_reset->setObjectName(name + QLatin1String("_reset"));
        m_reset->setText(QStringLiteral("⟲"));
        m_reset->setToolTip(tr("Reset"));
        layout->addWidget(m_caption, 0, 0, 1, 3);
        layout->addWidget(m_slider, 1, 0);
        layout->addWidget(m_spin, 1, 1);
        layout->addWidget(m_reset, 1, 2);
        layout->setColumnStretch(0, 1);
        // The slider reports while it is dragged; the camera gets each step, as the picture
        // should follow the hand.
        connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
            showOnSpin(value);
            emitEdit(value);
        });
        connect(m_spin, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this](double shown) {
            const int value = int(std::lround((shown - m_offset) / m_ratio));
            {
                const QSignalBlocker blocker(m_slider);
                m_slider->setValue(value);
            }
            emitEdit(m_slider->value());
        });
        connect(m_reset, &QToolButton::clicked, this, [this] {
            showValue(m_default);
            emitEdit(m_default);
        });
    }
    setLabel(label, choiceLabels);
}

void ParameterControl::setLabel(const QString &label, const QStringList &choiceLabels)
{
    m_caption->setText(label);
    if (m_check)
        m_check->setText(label);
    for (int i = 0; m_choices && i < choiceLabels.size(); ++i) {
        if (QAbstractButton *button = m_choices->button(i))
            button->setText(choiceLabels.at(i));
    }
}

void ParameterControl::emitEdit(int value)
{
    if (value == m_value)
        return;
    m_value = value;
    emit valueEdited(value);
}

void ParameterControl::showOnSpin(int value)
{
    const QSignalBlocker blocker(m_spin);
    m_spin->setValue(m_offset + value * m_ratio);
}

void ParameterControl::setRange(int minimum, int maximum, int defaultValue)
{
    m_default = defaultValue;
    if (!m_slider)
        return;
    const QSignalBlocker sliderBlocker(m_slider);
    const QSignalBlocker spinBlocker(m_spin);
    m_slider->setRange(minimum, maximum);
    m_slider->setPageStep(std::max(1, (maximum - minimum) / 10));
    m_spin->setRange(m_offset + minimum * m_ratio, m_offset + maximum * m_ratio);
    m_spin->setSingleStep(m_ratio);
    showValue(m_value);
}

void ParameterControl::setScale(double ratio, double offset, const QString &suffix, int decimals)
{
    m_ratio = ratio > 0 ? ratio : 1.0;
    m_offset = offset;
    if (!m_spin)
        return;
    const QSignalBlocker blocker(m_spin);
    m_spin->setDecimals(decimals);
    m_spin->setSuffix(suffix);
    setRange(m_slider->minimum(), m_slider->maximum(), m_default);
}

void ParameterControl::setInfo(const CameraInfo &info)
{
    const CameraInfoField &field = m_parameter.field;
    m_supported = field.range ? (info.*(field.range)).supported : field.supported ? info.*(field.supported) : true;
    if (field.range) {
        const CameraRange &range = info.*(field.range);
        setRange(range.min, range.max, range.def);
    }
    if (field.get)
        showValue(field.get(info));
    setEnabled(m_supported);
}

QAbstractButton *ParameterControl::choiceButton(int index) const
{
    return m_choices ? m_choices->button(index) : nullptr;
}

void ParameterControl::showValue(int value)
{
    m_value = value;
    if (m_slider) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(value);
        showOnSpin(m_slider->value());
    } else if (m_check) {
        const QSignalBlocker blocker(m_check);
        m_check->setChecked(value != 0);
    } else if (QAbstractButton *button = choiceButton(int(m_choiceValues.indexOf(value)))) {
        const QSignalBlocker blocker(m_choices);
        button->setChecked(true);
    }
}
