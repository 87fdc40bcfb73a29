#pragma once

#include "cameraparameters.h"

#include <QWidget>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSlider;
class QToolButton;

// One camera parameter's row in the panel, built from its descriptor: a number gets a slider,
// a spin box and a reset button; a flag a check box; a choice a radio button per word (a flag
// given two labels is shown as a choice of off and on).
//
// The slider runs in the device's units. The spin box may show them scaled, as
// offset + value × ratio (exposure time in the camera's time unit, zoom positions as factors);
// a spin box edit moves the slider to the nearest device value.
class ParameterControl : public QWidget
{
    Q_OBJECT

public:
    // `choiceLabels`: the text of each choice (or off and on of a flag), in the descriptor's order.
    ParameterControl(const CameraParameter &parameter, const QString &label, const QStringList &choiceLabels = {},
                     QWidget *parent = nullptr);

    const CameraParameter &parameter() const { return m_parameter; }

    // Range, value and support from the camera's record, without emitting. A parameter the camera
    // lacks is disabled.
    void setInfo(const CameraInfo &info);
    // A number's range, when it does not come from the record (the slow-shutter value list).
    void setRange(int minimum, int maximum, int defaultValue);
    // The value the camera reports, without emitting.
    void showValue(int value);
    int value() const { return m_value; }
    bool isSupported() const { return m_supported; }

    void setScale(double ratio, double offset, const QString &suffix, int decimals);
    void setLabel(const QString &label, const QStringList &choiceLabels = {});

signals:
    // The operator changed the value.
    void valueEdited(int value);

private:
    void emitEdit(int value);
    void showOnSpin(int value);
    QAbstractButton *choiceButton(int index) const;

    const CameraParameter &m_parameter;
    int m_value = 0;
    int m_default = 0;
    bool m_supported = false;
    double m_ratio = 1.0;
    double m_offset = 0.0;
    QLabel *m_caption = nullptr;
    QSlider *m_slider = nullptr;
    QDoubleSpinBox *m_spin = nullptr;
    QToolButton *m_reset = nullptr;
    QCheckBox *m_check = nullptr;
    QButtonGroup *m_choices = nullptr;
    QVector<int> m_choiceValues;
};
