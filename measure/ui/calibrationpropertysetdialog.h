#pragma once

#include "calibration.h"

#include <QDialog>

class ColourButton;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

// "Calibration", opened from the scale bar: chooses the calibration in use among the stored ones
// (the first row is the pixel unit, "default"), deletes stored ones, and sets the chosen one's
// scale bar, whether the bar and the magnification show, and the decimals of results.
// Calibration indices are into CalibrationStore::calibrations(); -1 is the default.
class CalibrationPropertySetDialog : public QDialog
{
    Q_OBJECT

public:
    // `current`: the calibration in use. `streamWidth`: the width of the picture the bar is drawn
    // over, which sets how many pixels a length takes.
    CalibrationPropertySetDialog(CalibrationStore &store, int current, int streamWidth, QWidget *parent = nullptr);

    void setShowScale(bool show);
    void setShowMagnification(bool show);
    void setDecimals(int decimals);

public slots:
    // Refuses a scale length that gives too short or too long a bar, with a warning; otherwise
    // stores the chosen calibration's scale bar and sends what the operator set.
    void accept() override;

signals:
    void signalCalibrationChosen(int index);
    // Sent after the stored record is gone: the indices after it moved down by one.
    void signalCalibrationDel(int index);
    // The stored scale bar of that calibration changed.
    void signalCalibrationChanged(int index);
    void signalShowScale(bool show);
    void signalShowMagnification(bool show);
    void signalDecimalsChanged(int decimals);

private:
    int chosen() const;
    CalibrateData record(int index) const;
    void fillList();
    void showRecord();
    void deleteChosen();
    void warn(const CalibrationMessage &message);

    CalibrationStore &m_store;
    int m_current;
    int m_streamWidth;
    QList<CalibrateData> m_stored;
    QListWidget *m_list;
    QPushButton *m_delete;
    QLineEdit *m_length;
    QLabel *m_unit;
    QSpinBox *m_lineWidth;
    QSpinBox *m_textSize;
    ColourButton *m_colour;
    QCheckBox *m_showScale;
    QCheckBox *m_showMagnification;
    QSpinBox *m_decimals;
};
