#pragma once

#include "calibration.h"

#include <QDialog>
#include <QSize>

class QComboBox;
class QLabel;
class QLineEdit;

// "Calibrate": the operator names the length of the line or circle just drawn; accepted, it
// gives the calibration record for that length.
class CalibrationWidget : public QDialog
{
    Q_OBJECT

public:
    // `pixels`: the drawn length; `resolution`: the stream's size; `stored`: the calibrations
    // already kept, so that the same one is not stored twice.
    CalibrationWidget(double pixels, const QSize &resolution, QList<CalibrateData> stored, QWidget *parent = nullptr);

    CalibrateData data() const;

public slots:
    void accept() override;

private:
    void updatePerPixel();

    double m_pixels;
    QSize m_resolution;
    QList<CalibrateData> m_stored;
    QLineEdit *m_name;
    QLineEdit *m_length;
    QComboBox *m_unit;
    QComboBox *m_magnification;
    QLabel *m_perPixel;
    QLabel *m_error;
};
