// The metering regions: the exposure, white balance, black balance and focus regions, switched on
// in the panel, drawn and moved on the picture, and kept by the camera.
#include "camsettings.h"

#include "basecamera.h"
#include "foldingsection.h"
#include "roicontrol.h"

#include <QCheckBox>
#include <QDebug>
#include <QSignalBlocker>
#include <QVBoxLayout>

CameraControlRegion CamSettings::controlRegion(const CameraRegion &r)
{
    CameraControlRegion region;
    region.enable = r.enable;
    region.display = r.display;
    region.x = r.x;
    region.y = r.y;
    region.width = r.width;
    region.height = r.height;
    return region;
}

void CamSettings::buildRegionSwitches()
{
    const auto add = [this](const char *section, const char *objectName) {
        FoldingSection *box = m_sections.value(QLatin1String(section));
        auto *check = new QCheckBox(box->content());
        check->setObjectName(QLatin1String(objectName));
        box->contentLayout()->addWidget(check);
        return check;
    };
    m_expRegionBox = add("exposure", "exposure_region_check");
    m_wbRegionBox = add("white_balance", "wb_region_check");
    m_bbRegionBox = add("black_balance", "bb_region_check");
    m_focusRegionBox = add("focus", "focus_region_check");
    connect(m_expRegionBox, &QCheckBox::toggled, this, [this](bool on) {
        setMeteredRegion(m_expRegionBox, m_info.expRegion, on);
        emit expRegionStatusChanged(controlRegion(m_info.expRegion));
    });
    connect(m_wbRegionBox, &QCheckBox::toggled, this, [this](bool on) {
        setMeteredRegion(m_wbRegionBox, m_info.wbRegion, on);
        emit wBRegionStatusChanged(controlRegion(m_info.wbRegion));
    });
    connect(m_bbRegionBox, &QCheckBox::toggled, this, [this](bool on) {
        setMeteredRegion(m_bbRegionBox, m_bbRegion, on);
        emit bBRegionStatusChanged(controlRegion(m_bbRegion));
    });
    connect(m_focusRegionBox, &QCheckBox::toggled, this, [this](bool on) {
        if (!m_camera)
            return;
        if (m_info.focusRegionV2.isValid()) {
            m_focusRegionV2Enable = on;
            const QRect &r = m_info.focusRegionV2;
            CameraRegion region{on, on, r.x(), r.y(), r.width(), r.height()};
            emit setCameraFocusRegionV2(controlRegion(region));
            emit focusRegionV2StatusChanged(controlRegion(region));
            return;
        }
        m_info.focusRegionEnable = on;
        emit setCameraFocusRegionStatus(on);
        emit focusRegionChanged(on, m_info.focusRegionMode != 0, on);
        emit setFocusRegionUI(m_info.focusRegionMode, m_info.focusRegionX, m_info.focusRegionY);
    });
}

void CamSettings::retranslateRegionSwitches()
{
    m_expRegionBox->setText(tr("Exposure Region"));
    m_wbRegionBox->setText(tr("White Balance Region"));
    m_bbRegionBox->setText(tr("Black Balance Region"));
    m_focusRegionBox->setText(tr("Focus Region"));
}

void CamSettings::setMeteredRegion(QCheckBox *box, CameraRegion &region, bool enable)
{
    if (!m_camera)
        return;
    // A region never drawn starts as the middle quarter of the picture.
    if (region.width <= 0 || region.height <= 0) {
        region.width = m_pictureSize.width() / 2;
        region.height = m_pictureSize.height() / 2;
        region.x = (m_pictureSize.width() - region.width) / 2;
        region.y = (m_pictureSize.height() - region.height) / 2;
    }
    region.enable = region.display = enable;
    const CameraRegion r = region;
    if (box == m_expRegionBox)
        emit setCameraExpRegion(r.enable, r.display, r.x, r.y, r.width, r.height);
    else if (box == m_wbRegionBox)
        emit setCameraWBRegion(r.enable, r.display, r.x, r.y, r.width, r.height);
    else
        emit setBlackBalanceRegion(r.enable, r.display, r.x, r.y, r.width, r.height);
}

void CamSettings::updateRegionSwitches()
{
    // The camera meters a region only while the function is automatic.
    m_expRegionBox->setEnabled(m_camera && m_info.exposureRegionSupported && m_info.expMode != ExposureManual);
    m_wbRegionBox->setEnabled(m_camera && m_info.wbRegionSupported && m_info.wbMode != WbManual);
    m_bbRegionBox->setEnabled(bool(m_camera));
    m_focusRegionBox->setEnabled(m_camera && (m_info.focusRegionSupported || m_info.focusRegionV2.isValid()));
    const std::pair<QCheckBox *, bool> states[] = {
        {m_expRegionBox, m_info.expRegion.enable},
        {m_wbRegionBox, m_info.wbRegion.enable},
        {m_bbRegionBox, m_bbRegion.enable},
        {m_focusRegionBox, m_info.focusRegionV2.isValid() ? m_focusRegionV2Enable : m_info.focusRegionEnable},
    };
    for (const auto &[box, on] : states) {
        const QSignalBlocker blocker(box);
        box->setChecked(m_camera && on);
    }
}

void CamSettings::onExpRegionUpdate(bool enable, int x, int y, int width, int height)
{
    if (!m_camera)
        return;
    m_info.expRegion = {enable, true, x, y, width, height};
    emit setCameraExpRegion(enable, true, x, y, width, height);
    updateRegionSwitches();
}

void CamSettings::onWBRegionUpdate(bool enable, int x, int y, int width, int height)
{
    if (!m_camera)
        return;
    m_info.wbRegion = {enable, true, x, y, width, height};
    emit setCameraWBRegion(enable, true, x, y, width, height);
    updateRegionSwitches();
}

void CamSettings::onBBRegionUpdate(bool enable, int x, int y, int width, int height)
{
    if (!m_camera)
        return;
    m_bbRegion = {enable, true, x, y, width, height};
    emit setBlackBalanceRegion(enable, true, x, y, width, height);
    updateRegionSwitches();
}

void CamSettings::onFocusRegionV2Update(bool enable, int x, int y, int width, int height)
{
    if (!m_camera)
        return;
    m_focusRegionV2Enable = enable;
    m_info.focusRegionV2 = QRect(x, y, width, height);
    emit setCameraFocusRegionV2(controlRegion({enable, true, x, y, width, height}));
    updateRegionSwitches();
}

void CamSettings::onRoiRegionUpdate(bool enable, int x, int y, int width, int height)
{
    if (m_camera)
        m_roi->onRoiRegionUpdate(enable, x, y, width, height);
}

void CamSettings::onSetFocusRegion(int mode, int x, int y)
{
    if (!m_camera)
        return;
    m_info.focusRegionMode = mode;
    m_info.focusRegionX = x;
    m_info.focusRegionY = y;
    emit setCameraFocusRegion(true, mode, x, y);
}

void CamSettings::onRecvCameraExpRegion(bool enable, int x, int y, int width, int height)
{
    m_info.expRegion = {enable, m_info.expRegion.display, x, y, width, height};
    updateRegionSwitches();
}

void CamSettings::onRecvCameraWBRegion(bool enable, int x, int y, int width, int height)
{
    m_info.wbRegion = {enable, m_info.wbRegion.display, x, y, width, height};
    updateRegionSwitches();
}

void CamSettings::onRecvCameraBlackBalanceRegion(bool enable, int x, int y, int width, int height)
{
    m_bbRegion = {enable, m_bbRegion.display, x, y, width, height};
    updateRegionSwitches();
}

void CamSettings::onRecvCameraFocusRegionStatus(bool enable)
{
    m_info.focusRegionEnable = enable;
    updateRegionSwitches();
}

void CamSettings::onRecvCameraFocusRegion(int mode, int x, int y)
{
    m_info.focusRegionMode = mode;
    m_info.focusRegionX = x;
    m_info.focusRegionY = y;
}

void CamSettings::onRecvCameraFocusRegionV2(bool enable, int x, int y, int width, int height)
{
    m_focusRegionV2Enable = enable;
    m_info.focusRegionV2 = QRect(x, y, width, height);
    updateRegionSwitches();
}
