#include "measurepages.h"

#include "acquirepage.h"
#include "base.h"
#include "configstore.h"
#include "edgesearch.h"
#include "frameconversion.h"
#include "graphicsitems.h"
#include "graphicsview.h"
#include "imagetabs.h"
#include "labelwidget.h"
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
{
    measureParent->layout()->addWidget(m_measure);
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
        for (MainScene *scene : qAsConst(m_scenes))
            scene->setUnit(unit);
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
    connect(m_label, &LabelWidget::watermarkRequested, acquire, &AcquirePage::on_watermark_btn_clicked);

    addView(tabs->liveView());
    connect(tabs, &ImageTabs::videoTabAdded, this, &MeasurePages::addView);
    connect(tabs->tabs(), &QTabWidget::currentChanged, this, [this] {
        m_properties->setTools({});
        m_sheet->setScene(currentScene());
    });
    m_sheet->setScene(currentScene());
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

void MeasurePages::retranslate()
{
    m_measure->retranslate();
    m_label->retranslate();
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
    auto *cross = new GraphicsCross;
    cross->setVisible(m_crossShown);
    scene->addItem(cross);
    connect(scene, &QGraphicsScene::sceneRectChanged, this, [cross](const QRectF &rect) { cross->setArea(rect); });
    m_crosses.insert(scene, cross);
    view->graphicsView()->replaceScene(scene);
    m_scenes.insert(view, scene);
    connect(view, &QObject::destroyed, this, [this, view, scene] {
        m_scenes.remove(view);
        m_crosses.remove(scene);
    });
}
