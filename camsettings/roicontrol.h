#pragma once

#include "cameracontrolregion.h"

#include <QSize>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The centred 1/divisor of the picture in each direction; a divisor of 1 (or less) gives the
// whole picture at 0, 0. Only the rectangle is set.
CameraControlRegion roiPresetRegion(QSize picture, int divisor);
// A region the camera can crop: x and y down to even numbers, width and height down to
// multiples of 8.
CameraControlRegion roundedRoi(CameraControlRegion region);

// The region of interest: a preset or the operator's own rectangle on the live picture, applied
// as a crop of the camera's frames or only shown on the picture.
class RoiControl : public QWidget
{
    Q_OBJECT

public:
    explicit RoiControl(QWidget *parent = nullptr);

    // The frame size of the live picture, as shown (after rotation); refills the preset.
    void setPictureSize(QSize size);

signals:
    // `roiRegion` on the picture shown, `originalRegion` the same on the frames the camera
    // delivers (before rotation, relative to the crop already active).
    void setCameraRoiRegion(CameraControlRegion roiRegion, CameraControlRegion originalRegion);
    // The camera took a region: the picture view draws it unless the frames are cropped to it.
    void roiRegionStatusChanged(CameraControlRegion region, CameraControlRegion originalRegion, bool isCrop);
    void roiCropStatusChanged(bool isCrop);

public slots:
    void onRecvRoiSettingResult(bool success, QString errorMsg, CameraControlRegion region,
                                CameraControlRegion originalRegion);
    // A rectangle drawn or moved on the picture.
    void onRoiRegionUpdate(bool enable, int x, int y, int width, int height);
    // The rotation of the live picture, to turn a region back onto the camera's frames.
    void setVideoRotate(int rotateVal);
    void apply();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void showPreset();
    void showRegion(const CameraControlRegion &region);

    QComboBox *m_preset = nullptr;
    QSpinBox *m_x = nullptr;
    QSpinBox *m_y = nullptr;
    QSpinBox *m_width = nullptr;
    QSpinBox *m_height = nullptr;
    QCheckBox *m_crop = nullptr;
    QPushButton *m_apply = nullptr;
    QLabel *m_presetLabel = nullptr;
    QLabel *m_xLabel = nullptr;
    QLabel *m_yLabel = nullptr;
    QLabel *m_widthLabel = nullptr;
    QLabel *m_heightLabel = nullptr;
    QSize m_picture;
    int m_rotate = 0;

    // The request waiting for the camera's answer, and the last region the camera took.
    struct Request
    {
        CameraControlRegion shown;
        CameraControlRegion original;
    };
    Request m_pending;
    bool m_waiting = false;
    CameraControlRegion m_taken;
    bool m_hasTaken = false;
};
