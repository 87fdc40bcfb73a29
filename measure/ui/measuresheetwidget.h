#pragma once

#include "measuresheet.h"

#include <QPointer>
#include <QTableWidget>

class Base;
class MainScene;

// The measurement sheet of a camera view: a row per finished shape of its scene (row i is shape
// i), the chosen result columns, the statistics rows below, and selection shared with the scene.
class MeasureSheetWidget : public QTableWidget
{
    Q_OBJECT
public:
    explicit MeasureSheetWidget(QWidget *parent = nullptr);

    // Follows that scene's shapes from now on; the rows of an earlier scene are dropped.
    void setScene(MainScene *scene);
    const MeasureSheet &sheet() const { return m_sheet; }
    // Named in the CSV export; the calibration in use.
    void setCalibrationName(const QString &name) { m_calibrationName = name; }
    // Rereads which columns and statistics rows the settings ask for.
    void loadDisplaySettings();
    // Empty: every shape.
    void setLayerFilter(const QString &layer);
    // The layers of the sheet's shapes, in row order.
    QStringList layers() const;
    // The CSV text of the sheet; false when the file cannot be written.
    bool writeCsv(const QString &path) const;
    void retranslate();

public slots:
    // Asks where to save the sheet as CSV; a notice when there is nothing to save.
    void slotExportData();
    // The column and statistics chooser; the sheet follows what it stores.
    void showDataDisplayDialog();

signals:
    // The shapes whose rows are selected, for the property controller.
    void selectedToolsChanged(const QList<Base *> &tools);

private:
    void onInsert(Base *tool, int index);
    void onUpdate(Base *tool);
    void onRemove(Base *tool, int index);
    void onSceneSelection(const QList<int> &rows);
    void onTableSelection();
    SheetRow rowOf(Base *tool) const;
    void fillRow(int row);
    void renumberFrom(int row);
    void refreshStatistics();
    void applyVisibility();
    QList<Base *> selectedTools() const;

    QPointer<MainScene> m_scene;
    MeasureSheet m_sheet;
    QList<Base *> m_tools;
    QString m_calibrationName;
    bool m_syncing = false; // a selection passed on to the other side must not come back
};
