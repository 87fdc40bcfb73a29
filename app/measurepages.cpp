#include "measurepages.h"

#include "acquirepage.h"
#include "base.h"
#include "calibrationpropertysetdialog.h"
#include "calibrationwidget.h"
#include "configstore.h"
#include "edgesearch.h"
#include "frameconversion.h"
#include "graphicsgridlines.h"
#include "graphicsitems.h"
#include "graphicsmeasurescale.h"
#include "graphicsview.h"
#include "imagetabs.h"
#include "labelwidget.h"
#include "layertablewidget.h"
#include "ltexteditdialog.h"
#include "mainscene.h"
#include "measureitemcontroller.h"
#include "measuresheetwidget.h"
#include "measurewidget.h"
#include "videowidget.h"

#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The picture a view shows: a picture tab's own, or the live view's last frame.
// The width of the picture a view shows, without converting the picture.
int shownWidth(const VideoWidget *view)
{
    const QImage picture = view->property("picture").value<QImage>();
    return picture.isNull() ? view->lastFrame().width() : picture.width();
}

QImage shownPicture(const VideoWidget *view)
{
    const QImage picture = view->property("picture").value<QImage>();
    return picture.isNull() ? videoFrameToQImage(view->lastFrame()) : picture;
}

} // namespace

MeasurePages::MeasurePages(ImageTabs *tabs, AcquirePage *acquire, QWidget *measureParent, QWidget *annotateParent,
                           QWidget *resultsParent)
    : QObject(measureParent)
    , m_tabs(tabs)
    , m_measure(new MeasureWidget(measureParent))
    , m_label(new LabelWidget(annotateParent))
    , m_sheet(new MeasureSheetWidget(resultsParent))
    , m_properties(new MeasureItemController(resultsParent))
    , m_calibrations(ConfigStore::instance())
{
    measureParent->layout()->addWidget(m_measure);
    m_layers = new LayerWidget(measureParent);
    measureParent->layout()->addWidget(m_layers);
    annotateParent->layout()->addWidget(m_label);
    m_columns = new QPushButton(resultsParent);
    m_columns->setObjectName(QStringLiteral("dataDisplay_btn"));
    connect(m_columns, &QPushButton::clicked, m_sheet, &MeasureSheetWidget::showDataDisplayDialog);
    resultsParent->layout()->addWidget(m_columns);
    resultsParent->layout()->addWidget(m_sheet);
    resultsParent->layout()->addWidget(m_properties);
    connect(m_sheet, &MeasureSheetWidget::selectedToolsChanged, m_properties, &MeasureItemController::setTools);
    connect(m_properties, &MeasureItemController::signalDrawChange, this, [this](QMap<DrawProperty, QVariant> map) {
        if (MainScene *scene = currentScene())
            scene->setDrawProperty(map);
    });
    connect(m_measure, &MeasureWidget::signalExportData, m_sheet, &MeasureSheetWidget::slotExportData);
    connect(m_measure, &MeasureWidget::signalCalibrationChosen, this, &MeasurePages::chooseCalibration);
    connect(m_measure, &MeasureWidget::signalExportCalibrations, this, &MeasurePages::exportCalibrations);
    connect(m_measure, &MeasureWidget::signalImportCalibrations, this, &MeasurePages::importCalibrations);
    connect(m_measure, &MeasureWidget::signalShowScale, this, [this](bool show) {
        m_scaleShown = show;
        applyCalibration();
    });
    connect(m_measure, &MeasureWidget::signalExportTemplate, this, &MeasurePages::exportTemplate);
    connect(m_measure, &MeasureWidget::signalImportTemplate, this, &MeasurePages::importTemplate);
    // Undo and redo act on the view in front.
    QWidget *window = measureParent->window();
    auto *undo = new QShortcut(QKeySequence::Undo, window);
    connect(undo, &QShortcut::activated, this, [this] {
        if (MainScene *scene = currentScene())
            scene->onUndoOpt();
    });
    auto *redo = new QShortcut(QKeySequence::Redo, window);
    connect(redo, &QShortcut::activated, this, [this] {
        if (MainScene *scene = currentScene())
            scene->onRedoOpt();
    });
    m_edgeRange = EdgeDetectSettingsDialog::storedRange();

    const auto setMode = [this](DrawType type) {
        if (MainScene *scene = currentScene())
            scene->setDrawMode(int(type));
    };
    connect(m_measure, &MeasureWidget::signalSetDrawMode, this, setMode);
    connect(m_label, &LabelWidget::signalSetDrawMode, this, setMode);
    connect(m_measure, &MeasureWidget::signalEdgeDetectModeChanged, this, [this](EdgeDetectMode mode) {
        m_edgeMode = int(mode);
        for (MainScene *scene : qAsConst(m_scenes))
            scene->setEdgeDetect(m_edgeMode, m_edgeRange);
    });
    connect(m_measure, &MeasureWidget::signalEdgeDetectRangeChanged, this, [this](int range) {
        m_edgeRange = range;
        for (MainScene *scene : qAsConst(m_scenes))
            scene->setEdgeDetect(m_edgeMode, m_edgeRange);
    });
    connect(m_measure, &MeasureWidget::signalUnitChange, this, [this](int unit) {
        m_unit = unit;
        ConfigStore::instance().write(ConfigGroup::Settings, SettingsKey::Unit, unit);
        for (MainScene *scene : qAsConst(m_scenes))
            scene->setUnit(unit);
        applyCalibration();
    });
    connect(m_measure, &MeasureWidget::signalDelAllItem, this, [this] {
        if (MainScene *scene = currentScene())
            scene->slotDelAllItem();
    });
    connect(m_label, &LabelWidget::onShowCross, this, [this](bool show) {
        m_crossShown = show;
        for (QGraphicsItem *cross : qAsConst(m_crosses))
            cross->setVisible(show);
    });
    connect(m_label, &LabelWidget::signalEnableGridlines, this, [this](bool show) {
        m_gridShown = show;
        for (QGraphicsItem *grid : qAsConst(m_grids))
            grid->setVisible(show);
    });
    // The annotation settings hold for every view.
    connect(m_label, &LabelWidget::signalDrawChange, this, [this](QMap<DrawProperty, QVariant> properties) {
        for (MainScene *scene : qAsConst(m_scenes))
            scene->setDrawProperty(properties);
    });
    connect(m_label, &LabelWidget::watermarkRequested, acquire, &AcquirePage::on_watermark_btn_clicked);

    addView(tabs->liveView());
    connect(tabs, &ImageTabs::videoTabAdded, this, &MeasurePages::addView);
    connect(tabs->tabs(), &QTabWidget::currentChanged, this, [this] {
        m_properties->setTools({});
        m_sheet->setScene(currentScene());
        m_layers->setScene(currentScene());
    });
    m_sheet->setScene(currentScene());
    m_layers->setScene(currentScene());
    // The calibration in use when the program last ran.
    const QString name = ConfigStore::instance().value(ConfigGroup::Settings, SettingsKey::CalibrateName).toString();
    const QList<CalibrateData> stored = m_calibrations.calibrations();
    for (int i = 0; i < stored.size(); ++i) {
        if (stored[i].name == name)
            m_calibration = i;
    }
    m_measure->setUnit(ConfigStore::instance().value(ConfigGroup::Settings, SettingsKey::Unit, Unit::Pixel).toInt());
    chooseCalibration(m_calibration);
}

void MeasurePages::showCalibrations()
{
    QStringList names;
    for (const CalibrateData &data : m_calibrations.calibrations())
        names << data.name;
    m_measure->setCalibrations(names, m_calibration);
}

void MeasurePages::chooseCalibration(int index)
{
    const QList<CalibrateData> stored = m_calibrations.calibrations();
    m_calibration = index >= 0 && index < stored.size() ? index : -1;
    m_calibrationData = m_calibration >= 0 ? stored[m_calibration] : m_calibrations.defaultCalibration();
    ConfigStore::instance().write(ConfigGroup::Settings, SettingsKey::CalibrateName,
                                  m_calibration >= 0 ? m_calibrationData.name : QString());
    showCalibrations();
    // Results are shown in the unit the calibration was made in.
    if (m_calibration >= 0) {
        const int unit = UnitConverter::unitCode(m_calibrationData.unit);
        if (unit > 0)
            m_measure->setUnit(unit);
    }
    applyCalibration();
}

void MeasurePages::applyCalibration()
{
    const bool calibrated = m_calibration >= 0;
    m_sheet->setCalibrationName(calibrated ? m_calibrationData.name : tr("default"));
    for (auto it = m_scenes.cbegin(); it != m_scenes.cend(); ++it) {
        MainScene *scene = it.value();
        const int width = shownWidth(it.key());
        // The calibration was made at some stream width: results scale with the width shown.
        const UnitConverter converter = calibrated ? m_calibrationData.converter(width) : UnitConverter();
        scene->setConverter(converter);
        GraphicsMeasureScale *scale = m_scales.value(scene);
        scale->setVisible(m_scaleShown);
        if (m_scaleShown)
            scale->setCalibration(m_calibrationData, converter, m_unit, scene->sceneRect().width());
    }
}

void MeasurePages::onCaliOver(MainScene *scene, double pixels)
{
    // The scene spans the picture: its size is the stream's the calibration is made at.
    CalibrationWidget dialog(pixels, scene->sceneRect().size().toSize(), m_calibrations.calibrations(),
                             m_sheet->window());
    if (dialog.exec() == QDialog::Accepted) {
        if (!m_calibrations.append(dialog.data())) {
            QMessageBox::warning(m_sheet, tr("Warning"), tr("The calibration could not be stored."));
        } else {
            chooseCalibration(m_calibrations.calibrations().size() - 1);
        }
    }
    scene->setDrawMode(MainScene::SelectMode);
}

void MeasurePages::editScale(VideoWidget *view)
{
    CalibrationPropertySetDialog dialog(m_calibrations, m_calibration, shownWidth(view), m_sheet->window());
    dialog.setShowScale(m_scaleShown);
    dialog.setShowMagnification(m_magnificationShown);
    dialog.setDecimals(m_decimals);
    connect(&dialog, &CalibrationPropertySetDialog::signalCalibrationChosen, this, &MeasurePages::chooseCalibration);
    connect(&dialog, &CalibrationPropertySetDialog::signalCalibrationChanged, this,
            [this] { chooseCalibration(m_calibration); });
    connect(&dialog, &CalibrationPropertySetDialog::signalCalibrationDel, this, [this](int index) {
        // The one in use keeps its place in the shortened list, or falls back to pixels.
        if (m_calibration == index)
            m_calibration = -1;
        else if (m_calibration > index)
            --m_calibration;
        chooseCalibration(m_calibration);
    });
    connect(&dialog, &CalibrationPropertySetDialog::signalShowScale, m_measure, &MeasureWidget::setShowScale);
    connect(&dialog, &CalibrationPropertySetDialog::signalShowMagnification, this, [this](bool show) {
        m_magnificationShown = show;
        for (GraphicsMeasureScale *scale : qAsConst(m_scales))
            scale->setShowMagnification(show);
    });
    connect(&dialog, &CalibrationPropertySetDialog::signalDecimalsChanged, this, [this](int decimals) {
        m_decimals = decimals;
        for (MainScene *scene : qAsConst(m_scenes))
            scene->setPrecision(decimals);
    });
    dialog.exec();
}

void MeasurePages::exportCalibrations()
{
    const QList<CalibrateData> stored = m_calibrations.calibrations();
    if (stored.isEmpty()) {
        QMessageBox::information(m_sheet, tr("Notice"), tr("There is no calibration to export."), QMessageBox::Ok);
        return;
    }
    ConfigStore &store = ConfigStore::instance();
    const QString folder = store.value(ConfigGroup::Base, BaseKey::ExportFilePath).toString();
    const QString path =
        QFileDialog::getSaveFileName(m_sheet, tr("Export Calibration Data"), folder, tr("Calibration files (*.cal)"));
    if (path.isEmpty())
        return;
    store.write(ConfigGroup::Base, BaseKey::ExportFilePath, QFileInfo(path).absolutePath());
    CalibrationMessage outcome;
    const bool written = CalibrationStore::exportFile(CalibrationStore::withSuffix(path), stored, outcome);
    QMessageBox(written ? QMessageBox::Information : QMessageBox::Warning, outcome.title, outcome.text, QMessageBox::Ok,
                m_sheet)
        .exec();
}

void MeasurePages::importCalibrations()
{
    ConfigStore &store = ConfigStore::instance();
    const QString folder = store.value(ConfigGroup::Base, BaseKey::ExportFilePath).toString();
    const QString path =
        QFileDialog::getOpenFileName(m_sheet, tr("Import Calibration Data"), folder, tr("Calibration files (*.cal)"));
    if (path.isEmpty())
        return;
    QList<CalibrationMessage> messages;
    const bool imported = m_calibrations.importFile(
        path,
        [this](const CalibrationMessage &question) {
            return QMessageBox::question(m_sheet, question.title, question.text, QMessageBox::Yes | QMessageBox::No,
                                         QMessageBox::No) == QMessageBox::Yes;
        },
        messages);
    for (const CalibrationMessage &message : qAsConst(messages))
        QMessageBox(imported ? QMessageBox::Information : QMessageBox::Warning, message.title, message.text,
                    QMessageBox::Ok, m_sheet)
            .exec();
    chooseCalibration(m_calibration);
}

void MeasurePages::exportTemplate()
{
    MainScene *scene = currentScene();
    if (!scene || scene->finishedTools().isEmpty()) {
        QMessageBox::information(m_sheet, tr("Notice"), tr("current no primitive"), QMessageBox::Ok);
        return;
    }
    ConfigStore &store = ConfigStore::instance();
    const QString folder = store.value(ConfigGroup::Base, BaseKey::ExportFilePath).toString();
    const QString path = QFileDialog::getSaveFileName(m_sheet, tr("Save"), folder, tr("Template (*.tmp)"));
    if (path.isEmpty())
        return;
    store.write(ConfigGroup::Base, BaseKey::ExportFilePath, QFileInfo(path).absolutePath());
    const QString error = scene->exportTemplate(path);
    if (!error.isEmpty())
        QMessageBox::warning(m_sheet, tr("Warning"), error);
}

void MeasurePages::importTemplate()
{
    MainScene *scene = currentScene();
    if (!scene)
        return;
    ConfigStore &store = ConfigStore::instance();
    const QString folder = store.value(ConfigGroup::Base, BaseKey::ExportFilePath).toString();
    const QString path = QFileDialog::getOpenFileName(m_sheet, tr("Open"), folder, tr("Template (*.tmp)"));
    if (path.isEmpty())
        return;
    const QString error = scene->importTemplate(path);
    if (!error.isEmpty())
        QMessageBox::warning(m_sheet, tr("Warning"), error);
    m_sheet->setScene(scene); // the rows follow the shapes read
}

MainScene *MeasurePages::currentScene() const
{
    return m_scenes.value(qobject_cast<VideoWidget *>(m_tabs->tabs()->currentWidget()));
}

PhotoSaver::PixelSize MeasurePages::pixelSize(int width) const
{
    if (m_calibration < 0)
        return {};
    return {m_calibrationData.micrometresPerPixel(width), m_calibrationData.name};
}

void MeasurePages::retranslate()
{
    m_measure->retranslate();
    m_label->retranslate();
    m_layers->retranslate();
    m_sheet->retranslate();
    m_columns->setText(tr("Columns and Statistics"));
}

void MeasurePages::addView(VideoWidget *view)
{
    auto *scene = new MainScene(view);
    scene->setEdgeDetect(m_edgeMode, m_edgeRange);
    scene->setUnit(m_unit);
    scene->setEdgeSnapper([view](const QVector<QPointF> &points, int mode, int range) {
        const QVector<EdgeSearch::Result> found =
            EdgeSearch::snapToEdges(shownPicture(view), points, EdgeSearch::Mode(mode), range);
        QVector<QPointF> snapped;
        for (const EdgeSearch::Result &result : found) {
            if (!result.found)
                qInfo() << "edgeDetectForImg failed!";
            snapped.append(result.point);
        }
        return snapped;
    });
    view->graphicsView()->replaceScene(scene);
    // The overlays span the picture, whatever its size.
    auto *cross = new GraphicsCross;
    cross->setVisible(m_crossShown);
    auto *grid = new GraphicsGridLines;
    grid->setVisible(m_gridShown);
    for (QGraphicsItem *overlay : {static_cast<QGraphicsItem *>(cross), static_cast<QGraphicsItem *>(grid)})
        scene->addItem(overlay);
    const auto spanPicture = [cross, grid](const QRectF &rect) {
        cross->setArea(rect);
        grid->setArea(rect);
    };
    spanPicture(scene->sceneRect());
    connect(scene, &QGraphicsScene::sceneRectChanged, this, spanPicture);
    m_crosses.insert(scene, cross);
    m_grids.insert(scene, grid);
    scene->setDrawProperty(LabelWidget::storedProperties());
    connect(scene, &MainScene::ltextEdit, this,
            [this, scene](Base *tool) { LTextEditDialog::edit(scene, tool, m_label->window()); });
    m_scenes.insert(view, scene);
    auto *scale = new GraphicsMeasureScale;
    scale->setVisible(false);
    scene->addItem(scale);
    m_scales.insert(scene, scale);
    scale->setShowMagnification(m_magnificationShown);
    scene->setPrecision(m_decimals);
    connect(scene, &MainScene::caliOver, this, [this, scene](double pixels) { onCaliOver(scene, pixels); });
    connect(scale, &GraphicsMeasureScale::doubleClicked, this, [this, view] { editScale(view); });
    // A new picture size changes how many micrometres a pixel is.
    connect(scene, &QGraphicsScene::sceneRectChanged, this, &MeasurePages::applyCalibration);
    connect(view, &QObject::destroyed, this, [this, view, scene] {
        m_scenes.remove(view);
        m_crosses.remove(scene);
        m_grids.remove(scene);
        m_scales.remove(scene);
    });
}
