#pragma once

#include "calibration.h"
#include "photosaver.h"

#include <QHash>
#include <QObject>

class AcquirePage;
class ImageTabs;
class LabelWidget;
class MainScene;
class MeasureItemController;
class MeasureSheetWidget;
class MeasureWidget;
class QGraphicsItem;
class QPushButton;
class QWidget;
class VideoWidget;

// The Measure and Annotate pages and the drawing scene of every picture view: each view (the
// live one and every picture tab) gets a scene of its own; the pages' tools act on the view
// in front, and clicks snap to the edges of the picture that view shows.
class MeasurePages : public QObject
{
    Q_OBJECT

public:
    // The panels go into the two pages; the results sheet and the shape properties into
    // `resultsParent`.
    MeasurePages(ImageTabs *tabs, AcquirePage *acquire, QWidget *measureParent, QWidget *annotateParent,
                 QWidget *resultsParent);

    MeasureWidget *measureWidget() const { return m_measure; }
    LabelWidget *labelWidget() const { return m_label; }
    MeasureSheetWidget *sheet() const { return m_sheet; }
    // The scene over a view; null for a view that has none.
    MainScene *sceneOf(VideoWidget *view) const { return m_scenes.value(view); }
    MainScene *currentScene() const;
    // What a pixel of a picture `width` pixels wide measures under the calibration in use.
    PhotoSaver::PixelSize pixelSize(int width) const;

    void retranslate();

private:
    void addView(VideoWidget *view);
    void exportTemplate();
    void importTemplate();
    // Calibrations: drawn, chosen, exchanged; the one in use converts every view's results.
    void onCaliOver(MainScene *scene, double pixels);
    void chooseCalibration(int index);
    void applyCalibration();
    void showCalibrations();
    void exportCalibrations();
    void importCalibrations();
    void editScale(VideoWidget *view);

    ImageTabs *m_tabs;
    MeasureWidget *m_measure;
    LabelWidget *m_label;
    MeasureSheetWidget *m_sheet;
    MeasureItemController *m_properties;
    QPushButton *m_columns;
    CalibrationStore m_calibrations;
    int m_calibration = -1; // into the stored list; -1: pixels
    CalibrateData m_calibrationData;
    QHash<MainScene *, class GraphicsMeasureScale *> m_scales;
    bool m_scaleShown = false;
    bool m_magnificationShown = false;
    int m_decimals = 2;
    class LayerWidget *m_layers;
    QHash<VideoWidget *, MainScene *> m_scenes;
    QHash<MainScene *, QGraphicsItem *> m_crosses;
    QHash<MainScene *, QGraphicsItem *> m_grids;
    int m_edgeMode = 0;
    int m_edgeRange = 10;
    int m_unit = 1;
    bool m_crossShown = false;
    bool m_gridShown = false;
};
