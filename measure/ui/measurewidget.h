#pragma once

#include "drawtype.h"
#include "edgedetectsettingsdialog.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPushButton;

// The Measure page's panel: one button per measuring tool, edge snapping with its settings,
// the unit the results are shown in, and deleting every shape.
class MeasureWidget : public QWidget
{
    Q_OBJECT

public:
    explicit MeasureWidget(QWidget *parent = nullptr);

    // The panel's tools with their buttons' object names ("drawLine_btn", ...) and texts.
    struct Tool
    {
        DrawType type;
        const char *objectName;
        const char *text;
    };
    static const QVector<Tool> &tools();

    void retranslate();
    // The stored calibrations' names after "default" (the pixel unit); `current` -1 for default.
    void setCalibrations(const QStringList &names, int current);
    int unit() const;
    void setUnit(int unit);
    void setShowScale(bool show);

signals:
    void signalSetDrawMode(DrawType type);
    // Off when the edge button is up.
    void signalEdgeDetectModeChanged(EdgeDetectMode mode);
    void signalEdgeDetectRangeChanged(int value);
    // A unit code from 1 (pixel) to 10 (inch).
    void signalUnitChange(int unit);
    void signalDelAllItem();
    void signalExportData();
    void signalExportTemplate();
    void signalImportTemplate();
    // A stored calibration made current; -1: none (pixels).
    void signalCalibrationChosen(int index);
    void signalExportCalibrations();
    void signalImportCalibrations();
    void signalShowScale(bool show);

private:
    void on_edge_btn_toggled(bool checked);
    void openEdgeSettings();

    QVector<QPushButton *> m_toolButtons;
    QPushButton *m_edge;
    QPushButton *m_edgeSettings;
    QComboBox *m_unit;
    QPushButton *m_deleteAll;
    QPushButton *m_exportData;
    QPushButton *m_exportTemplate;
    QPushButton *m_importTemplate;
    QVector<QPushButton *> m_calibrationTools;
    QComboBox *m_calibration;
    QPushButton *m_exportCalibrations;
    QPushButton *m_importCalibrations;
    QCheckBox *m_scale;
};
