#include "measurepages.h"

#include "acquirepage.h"
#include "edgesearch.h"
#include "frameconversion.h"
#include "graphicsitems.h"
#include "graphicsview.h"
#include "imagetabs.h"
#include "labelwidget.h"
#include "mainscene.h"
#include "measurewidget.h"
#include "videowidget.h"

#include <QDebug>
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

MeasurePages::MeasurePages(ImageTabs *tabs, AcquirePage *acquire, QWidget *measureParent, QWidget *annotateParent)
    : QObject(measureParent)
    , m_tabs(tabs)
    , m_measure(new MeasureWidget(measureParent))
    , m_label(new LabelWidget(annotateParent))
{
    measureParent->layout()->addWidget(m_measure);
    annotateParent->layout()->addWidget(m_label);
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
}

MainScene *MeasurePages::currentScene() const
{
    return m_scenes.value(qobject_cast<VideoWidget *>(m_tabs->tabs()->currentWidget()));
}

void MeasurePages::retranslate()
{
    m_measure->retranslate();
    m_label->retranslate();
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
