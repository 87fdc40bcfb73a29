#include "roicontrol.h"

#include "configstore.h"
#include "netfocusregion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace {

// Preset i is 1/(2^i) of the picture in each direction: None, 1/2, 1/4, 1/8, 1/16.
constexpr int kPresetCount = 5;
// Spin-box limit while the picture size is not known yet.
constexpr int kNoPictureLimit = 65535;

QRect rectOf(const CameraControlRegion &region)
{
    return QRect(region.x, region.y, region.width, region.height);
}

} // namespace

CameraControlRegion roiPresetRegion(QSize picture, int divisor)
{
    CameraControlRegion region;
    const int n = std::max(divisor, 1);
    region.width = picture.width() / n;
    region.height = picture.height() / n;
    region.x = (picture.width() - region.width) / 2;
    region.y = (picture.height() - region.height) / 2;
    return region;
}

CameraControlRegion roundedRoi(CameraControlRegion region)
{
    region.x = region.x / 2 * 2;
    region.y = region.y / 2 * 2;
    region.width = region.width / 8 * 8;
    region.height = region.height / 8 * 8;
    return region;
}

RoiControl::RoiControl(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_preset = new QComboBox(this);
    m_preset->setObjectName(QStringLiteral("roi_preset_comboBox"));
    for (int i = 0; i < kPresetCount; ++i)
        m_preset->addItem(QString(), 1 << i);
    m_presetLabel = new QLabel(this);
    form->addRow(m_presetLabel, m_preset);

    const auto addSpin = [this, form](QSpinBox *&spin, QLabel *&label, const char *name, int minimum) {
        spin = new QSpinBox(this);
        spin->setObjectName(QString::fromLatin1(name));
        spin->setRange(minimum, kNoPictureLimit);
        label = new QLabel(this);
        form->addRow(label, spin);
    };
    addSpin(m_x, m_xLabel, "roi_x_spinBox", 0);
    addSpin(m_y, m_yLabel, "roi_y_spinBox", 0);
    // Below 8 the width and height would round to nothing.
    addSpin(m_width, m_widthLabel, "roi_width_spinBox", 8);
    addSpin(m_height, m_heightLabel, "roi_height_spinBox", 8);
    layout->addLayout(form);

    m_crop = new QCheckBox(this);
    m_crop->setObjectName(QStringLiteral("roi_crop_checkBox"));
    layout->addWidget(m_crop);
    m_apply = new QPushButton(this);
    m_apply->setObjectName(QStringLiteral("roi_apply_btn"));
    layout->addWidget(m_apply);

    const int stored = ConfigStore::instance().value(ConfigGroup::RoiRegion, RoiRegionKey::RoiRegionIndex, 0).toInt();
    m_preset->setCurrentIndex(stored >= 0 && stored < kPresetCount ? stored : 0);

    connect(m_preset, QOverload<int>::of(&QComboBox::currentIndexChanged), this, [this](int index) {
        ConfigStore::instance().write(ConfigGroup::RoiRegion, RoiRegionKey::RoiRegionIndex, index);
        showPreset();
    });
    connect(m_apply, &QPushButton::clicked, this, &RoiControl::apply);
    retranslate();
}

void RoiControl::retranslate()
{
    m_preset->setItemText(0, tr("None"));
    for (int i = 1; i < kPresetCount; ++i)
        m_preset->setItemText(i, QStringLiteral("1/%1").arg(1 << i));
    m_presetLabel->setText(tr("Preset"));
    m_xLabel->setText(tr("X"));
    m_yLabel->setText(tr("Y"));
    m_widthLabel->setText(tr("Width"));
    m_heightLabel->setText(tr("Height"));
    m_crop->setText(tr("Crop"));
    m_apply->setText(tr("Apply"));
}

void RoiControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void RoiControl::setPictureSize(QSize size)
{
    if (size == m_picture || size.isEmpty())
        return;
    m_picture = size;
    m_x->setMaximum(size.width());
    m_y->setMaximum(size.height());
    m_width->setMaximum(std::max(size.width(), m_width->minimum()));
    m_height->setMaximum(std::max(size.height(), m_height->minimum()));
    showPreset();
}

void RoiControl::setVideoRotate(int rotateVal)
{
    m_rotate = rotateVal;
}

void RoiControl::showPreset()
{
    if (m_picture.isValid())
        showRegion(roiPresetRegion(m_picture, m_preset->currentData().toInt()));
}

void RoiControl::showRegion(const CameraControlRegion &region)
{
    m_x->setValue(region.x);
    m_y->setValue(region.y);
    m_width->setValue(region.width);
    m_height->setValue(region.height);
}

void RoiControl::onRoiRegionUpdate(bool enable, int x, int y, int width, int height)
{
    if (!enable)
        return;
    CameraControlRegion region;
    region.x = x;
    region.y = y;
    region.width = width;
    region.height = height;
    showRegion(region);
}

void RoiControl::apply()
{
    CameraControlRegion shown;
    shown.x = m_x->value();
    shown.y = m_y->value();
    shown.width = m_width->value();
    shown.height = m_height->value();
    shown = roundedRoi(shown);
    // The whole picture is no region: the camera drops its crop and the view its rectangle.
    const bool whole = m_picture.isValid() && shown.sameRegion(roundedRoi(roiPresetRegion(m_picture, 1)));
    shown.enable = !whole && m_crop->isChecked();
    shown.display = !whole && !m_crop->isChecked();
    showRegion(shown);

    // The camera crops its frames before turning them.
    const bool quarterTurn = m_rotate == 90 || m_rotate == 270;
    const QSize frame = quarterTurn ? m_picture.transposed() : m_picture;
    const QRect onFrame = NetFocusRegion::toSensor(rectOf(shown), QRect(QPoint(0, 0), frame), m_rotate);
    CameraControlRegion original = shown;
    original.x = onFrame.x();
    original.y = onFrame.y();
    original.width = onFrame.width();
    original.height = onFrame.height();

    m_pending = {shown, original};
    m_waiting = true;
    emit setCameraRoiRegion(shown, original);
}

void RoiControl::onRecvRoiSettingResult(bool success, QString errorMsg, CameraControlRegion,
                                        CameraControlRegion originalRegion)
{
    // The camera reports its region on its frames; the one shown is the request it answers.
    const bool ours = m_waiting && originalRegion.sameRegion(m_pending.original);
    if (ours)
        m_waiting = false;
    if (!success) {
        if (m_hasTaken)
            showRegion(m_taken);
        QMessageBox::warning(this, tr("Warning"), errorMsg);
        return;
    }
    if (!ours)
        return;
    const bool cropChanged = !m_hasTaken || m_taken.enable != m_pending.shown.enable;
    m_taken = m_pending.shown;
    m_hasTaken = true;
    showRegion(m_taken);
    emit roiRegionStatusChanged(m_taken, m_pending.original, m_taken.enable);
    if (cropChanged)
        emit roiCropStatusChanged(m_taken.enable);
}
