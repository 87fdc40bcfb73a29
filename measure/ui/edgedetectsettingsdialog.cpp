#include "edgedetectsettingsdialog.h"

#include "configstore.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QSlider>
#include <QSpinBox>

EdgeDetectSettingsDialog::EdgeDetectSettingsDialog(QWidget *parent)
    : QDialog(parent), m_mode(new QComboBox), m_slider(new QSlider(Qt::Horizontal)), m_range(new QSpinBox)
{
    setWindowTitle(tr("Edge Detection Settings"));
    m_mode->setObjectName(QStringLiteral("mode_comboBox"));
    m_mode->addItem(tr("Point"), int(EdgeDetectMode::Point));
    m_mode->addItem(tr("Shape"), int(EdgeDetectMode::Shape));
    m_mode->setCurrentIndex(storedMode() == EdgeDetectMode::Shape ? 1 : 0);
    m_slider->setObjectName(QStringLiteral("range_slider"));
    m_range->setObjectName(QStringLiteral("range_spinBox"));
    m_slider->setRange(kMinRange, kMaxRange);
    m_range->setRange(kMinRange, kMaxRange);
    m_slider->setValue(storedRange());
    m_range->setValue(storedRange());

    auto *form = new QFormLayout(this);
    form->addRow(tr("Mode"), m_mode);
    auto *rangeRow = new QHBoxLayout;
    rangeRow->addWidget(m_slider);
    rangeRow->addWidget(m_range);
    form->addRow(tr("Range"), rangeRow);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);

    connect(m_mode, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        const auto mode = EdgeDetectMode(m_mode->currentData().toInt());
        ConfigStore::instance().write(ConfigGroup::EdgeDetect, EdgeDetectKey::Mode, int(mode));
        emit edgeDetectModeChanged(mode);
    });
    connect(m_slider, &QSlider::valueChanged, m_range, &QSpinBox::setValue);
    connect(m_range, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) {
        m_slider->setValue(value);
        ConfigStore::instance().write(ConfigGroup::EdgeDetect, EdgeDetectKey::Range, value);
        emit edgeDetectRangeChanged(value);
    });
}

EdgeDetectMode EdgeDetectSettingsDialog::storedMode()
{
    const int mode = ConfigStore::instance().value(ConfigGroup::EdgeDetect, EdgeDetectKey::Mode, 1).toInt();
    return mode == int(EdgeDetectMode::Shape) ? EdgeDetectMode::Shape : EdgeDetectMode::Point;
}

int EdgeDetectSettingsDialog::storedRange()
{
    const int range = ConfigStore::instance().value(ConfigGroup::EdgeDetect, EdgeDetectKey::Range, 10).toInt();
    return range >= kMinRange && range <= kMaxRange ? range : 10;
}
