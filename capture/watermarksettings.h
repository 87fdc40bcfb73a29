#pragma once

#include "rendertextinfo.h"

#include <QDialog>
#include <QTimer>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;
class QToolButton;

// The time watermark: which date and time formats, the font size, colour and position. A
// one-second timer re-formats the text and sends it to the live view whether or not the dialog
// is open; OK stores the edits, Cancel drops them.
class WatermarkSettings : public QDialog
{
    Q_OBJECT

public:
    explicit WatermarkSettings(QWidget *parent = nullptr);

    // The watermark as last sent.
    RenderTextInfo info() const { return m_info; }
    // Whether the watermark is burnt into photos ("FuseToPic").
    bool fuseToPicture() const { return m_fuse; }

signals:
    void updateWatermarkText(RenderTextInfo info);

public slots:
    void onChangeWatermaskText();

private slots:
    void on_watermarkColor_tBtn_clicked();
    void on_ok_btn_clicked();
    void on_cancel_btn_clicked();

private:
    void load(); // stored values into the fields and the controls
    void showColor(const QColor &color);

    RenderTextInfo m_info;
    bool m_dateShown = true;
    int m_dateFormat = 0;
    bool m_timeShown = true;
    int m_timeFormat = 0;
    bool m_fuse = false;
    QColor m_pickedColor;
    QTimer m_timer;

    QCheckBox *m_date = nullptr;
    QComboBox *m_dateFormats = nullptr;
    QCheckBox *m_time = nullptr;
    QComboBox *m_timeFormats = nullptr;
    QSpinBox *m_fontSize = nullptr;
    QToolButton *m_color = nullptr;
    QDoubleSpinBox *m_x = nullptr;
    QDoubleSpinBox *m_y = nullptr;
    QCheckBox *m_fuseBox = nullptr;
};
