#include "mainscene.h"

#include "base.h"
#include "graphicsitems.h"
#include "measuregeometry.h"
#include "measureshapes.h"

#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QUndoCommand>

#include <algorithm>

namespace {

constexpr double kSampleDistance = 10.0; // picture pixels between free-hand points
constexpr int kFinishPauseMs = 100;

bool isOpen(DrawType type)
{
    const MeasureShapes::ToolKind *kind = MeasureShapes::toolKind(type);
    return kind && kind->points == 0;
}

bool isFreeHand(DrawType type)
{
    return type == DrawType::AnyLine || type == DrawType::MarkAnyLine;
}

// The kinds whose points the edge search may move, by mode (1 each click, 2 the whole shape).
bool snaps(int mode, int t)
{
    if (mode == 1)
        return (t >= 4 && t <= 7) || (t >= 9 && t <= 27) || (t >= 29 && t <= 33) || t == 39 || t == 40;
    if (mode == 2)
        return t == 4 || t == 6 || t == 7 || t == 9 || t == 10 || t == 12 || t == 13 || (t >= 15 && t <= 25) ||
               t == 27 || (t >= 29 && t <= 33) || t == 39 || t == 40;
    return false;
}

// q moved along the perpendicular of the line through p with direction d, to pass through `from`:
// the point reached from `from` square to the line.
QPointF squareTo(const QPointF &q, const QPointF &p, const QPointF &d, const QPointF &from)
{
    return from + (q - MeasureGeometry::perpendicularFoot(q, p, p + d));
}

// q kept on the line through `from` with direction d.
QPointF alongLine(const QPointF &q, const QPointF &from, const QPointF &d)
{
    return MeasureGeometry::perpendicularFoot(q, from, from + d);
}

} // namespace

// Puts a finalised shape into the finished list; undone, takes it out of the scene again.
class AddItemCommand : public QUndoCommand
{
public:
    AddItemCommand(MainScene *scene, Base *tool) : m_scene(scene), m_tool(tool) {}
    ~AddItemCommand() override
    {
        if (!m_done)
            delete m_tool;
    }

    void redo() override
    {
        GraphicsConnect *item = m_tool->item();
        if (m_first) {
            item->setProperty(ItemData::graphicsId, m_scene->m_nextId++);
            item->setProperty(ItemData::layerName, m_scene->m_layerName);
            QObject::connect(item, &GraphicsConnect::signalItemMove, m_scene,
                             [scene = m_scene, tool = m_tool] { emit scene->itemUpdate(tool); });
        } else {
            m_scene->addItem(item);
            m_scene->addItem(m_tool->label());
        }
        m_done = true;
        m_scene->m_finished.insert(m_index < 0 ? m_scene->m_finished.size() : m_index, m_tool);
        m_index = m_scene->m_finished.indexOf(m_tool);
        emit m_scene->itemInsert(m_tool, m_index);
        if (m_first) {
            m_first = false;
            if (m_tool->isType(DrawType::LCali) || m_tool->isType(DrawType::CCali))
                emit m_scene->caliOver(m_tool);
            else if (m_tool->isType(DrawType::LText))
                emit m_scene->ltextEdit(m_tool);
        }
    }

    void undo() override
    {
        m_scene->m_finished.removeOne(m_tool);
        m_scene->removeItem(m_tool->item());
        m_scene->removeItem(m_tool->label());
        m_done = false;
        emit m_scene->itemRemove(m_tool, m_index);
    }

private:
    MainScene *m_scene;
    Base *m_tool;
    int m_index = -1;
    bool m_first = true;
    bool m_done = false;
};

// Removes every finished shape at once; undoing brings each back in its row.
class RemoveAllCommand : public QUndoCommand
{
public:
    explicit RemoveAllCommand(MainScene *scene) : m_scene(scene), m_tools(scene->m_finished) {}
    ~RemoveAllCommand() override
    {
        if (m_removed)
            qDeleteAll(m_tools);
    }

    void redo() override
    {
        for (int i = m_tools.size() - 1; i >= 0; --i) {
            Base *tool = m_tools.at(i);
            m_scene->m_finished.removeAt(i);
            m_scene->removeItem(tool->item());
            m_scene->removeItem(tool->label());
            emit m_scene->itemRemove(tool, i);
        }
        m_removed = true;
    }

    void undo() override
    {
        for (int i = 0; i < m_tools.size(); ++i) {
            Base *tool = m_tools.at(i);
            m_scene->addItem(tool->item());
            m_scene->addItem(tool->label());
            m_scene->m_finished.insert(i, tool);
            emit m_scene->itemInsert(tool, i);
        }
        m_removed = false;
    }

private:
    MainScene *m_scene;
    QList<Base *> m_tools;
    bool m_removed = false;
};

MainScene::MainScene(QObject *parent)
    : QGraphicsScene(parent), m_layerName(tr("Background")), m_hint(new GraphicsTextNoData)
{
    qRegisterMetaType<EdgeDetectInfo>();
    m_undo.setUndoLimit(20);
    m_finishTimer.setSingleShot(true);
    m_finishTimer.setInterval(kFinishPauseMs);
    // Continued from the event loop rather than a nested one: presses meanwhile are ignored.
    connect(&m_finishTimer, &QTimer::timeout, this, &MainScene::finalise);
    connect(this, &QGraphicsScene::selectionChanged, this, &MainScene::reportSelection);

    QFont font = m_hint->font();
    font.setPointSize(11);
    m_hint->setFont(font);
    m_hint->setBrush(Qt::white);
    m_hint->setBackground(Qt::gray);
    m_hint->setFlags(QGraphicsItem::ItemIgnoresTransformations);
    m_hint->setData(ItemData::Auxiliary, true);
    m_hint->hide();
    addItem(m_hint);
}

MainScene::~MainScene()
{
    m_finishTimer.stop();
    delete m_tool;
    m_undo.clear(); // deletes the undone shapes
    qDeleteAll(m_finished);
}

QString MainScene::finishHint()
{
    return tr("Double-click the left button to finish drawing!");
}

void MainScene::setEdgeDetect(int mode, int range)
{
    m_edgeMode = mode;
    m_edgeRange = qBound(5, range, 20);
}

void MainScene::setUnit(int unit)
{
    m_unit = unit;
    for (Base *tool : qAsConst(m_finished)) {
        const int before = tool->unit();
        tool->setUnit(unit);
        if (tool->unit() != before)
            emit itemUpdate(tool);
    }
    if (m_tool)
        m_tool->setUnit(unit);
}

bool MainScene::isDrawingMode() const
{
    return MeasureShapes::toolKind(DrawType(m_drawType)) != nullptr;
}

Base *MainScene::createTool(DrawType type)
{
    if (!MeasureShapes::toolKind(type))
        return nullptr;
    if (isOpen(type) && !m_hintShown.contains(int(type))) {
        m_hintShown.insert(int(type));
        m_hint->setText(finishHint());
        m_hint->show();
    }
    return new Base(type, this, m_unit, m_properties);
}

void MainScene::setDrawMode(int drawType)
{
    abandonTool();
    m_drawType = drawType;
}

void MainScene::slotClearDrawType()
{
    setDrawMode(IdleMode);
}

void MainScene::setDrawProperty(QMap<DrawProperty, QVariant> properties)
{
    for (auto it = properties.cbegin(); it != properties.cend(); ++it)
        m_properties.insert(it.key(), it.value());
    for (Base *tool : qAsConst(m_finished))
        tool->applyProperties(properties);
    if (m_tool)
        m_tool->applyProperties(properties);
    emit signalDrawChange(m_properties);
}

void MainScene::abandonTool()
{
    if (!m_tool)
        return;
    m_finishTimer.stop();
    delete m_tool;
    m_tool = nullptr;
    emit signalDisableMeasureframe(false);
}

void MainScene::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (!isDrawingMode()) {
        if (event->button() == Qt::RightButton)
            m_hint->hide();
        QGraphicsScene::mousePressEvent(event);
        return;
    }
    event->accept(); // the scene takes every press while drawing
    if (event->button() == Qt::RightButton) {
        rightPress(event);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (m_finishTimer.isActive()) {
        // A quick press starts the next shape: the one pausing is finished first, not lost.
        m_finishTimer.stop();
        finalise();
    }
    emit sendSceneMousePressedPos(event->scenePos());
    const QPointF pos = snapped({event->scenePos()}, 1).constFirst();
    m_lastSample = pos;
    if (!m_tool) {
        m_tool = createTool(DrawType(m_drawType));
        if (m_hint->isVisible())
            m_hint->setPos(pos - QPointF(0, 20));
        m_tool->addPoint(pos);
        if (MeasureShapes::toolKind(m_tool->drawType())->points == 1) {
            m_tool->removeLast(); // a single point: no point follows the mouse
            if (m_tool->isType(DrawType::PointSerialNumber))
                m_tool->label()->setText(QString::number(m_nextSerial++));
            finalise();
        }
        return;
    }
    m_tool->moveLast(constrained(pos, event->modifiers() & Qt::ShiftModifier));
    const QVector<QPointF> points = m_tool->points();
    if (std::any_of(points.cbegin(), points.cend() - 1,
                    [&](const QPointF &p) { return MeasureGeometry::fuzzyEqual(p, points.last()); }))
        return; // a press on a point the shape already has
    if (m_tool->isComplete()) {
        finishShape();
        return;
    }
    m_tool->addPoint(points.last());
}

void MainScene::rightPress(QGraphicsSceneMouseEvent *event)
{
    if (m_tool) {
        abandonTool();
        return;
    }
    const QList<QGraphicsItem *> under = items(event->scenePos());
    const bool onItem = std::any_of(under.cbegin(), under.cend(), [&](QGraphicsItem *item) {
        return item->isVisible() && (item->flags() & QGraphicsItem::ItemIsSelectable) &&
               !item->data(ItemData::Auxiliary).isValid() && item->contains(item->mapFromScene(event->scenePos()));
    });
    if (!onItem) {
        m_hint->hide();
        slotClearDrawType();
        emit clearDrawType();
    }
}

void MainScene::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    const QPointF pos = event->scenePos();
    emit sendSceneMouseMovePos(pos);
    m_lastCursor = pos;
    if (!m_tool) {
        QGraphicsScene::mouseMoveEvent(event);
        return;
    }
    if (m_finishTimer.isActive())
        return;
    if (isFreeHand(m_tool->drawType()) && MeasureGeometry::distance(pos, m_lastSample) > kSampleDistance) {
        m_tool->moveLast(pos);
        m_tool->addPoint(pos);
        m_lastSample = pos;
    }
    if (m_hint->isVisible()) {
        m_hint->setZValue(999);
        m_hint->setPos(pos - QPointF(40, 40));
    }
    followMouse(pos, event->modifiers() & Qt::ShiftModifier);
}

void MainScene::mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_tool && isOpen(m_tool->drawType()) && event->button() == Qt::LeftButton) {
        event->accept();
        m_tool->removeLast(); // the copy following the mouse
        if (m_tool->pointCount() < MeasureShapes::toolKind(m_tool->drawType())->minimum) {
            abandonTool();
            return;
        }
        m_tool->setPoints(snapped(m_tool->points(), 2));
        finalise();
        return;
    }
    if (m_drawType == SelectMode) {
        const QList<QGraphicsItem *> under = items(event->scenePos());
        if (std::any_of(under.cbegin(), under.cend(), [](QGraphicsItem *i) { return i->type() == CrossItemType; })) {
            emit crossStatusChanged();
            return;
        }
    }
    QGraphicsScene::mouseDoubleClickEvent(event);
}

void MainScene::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift && m_tool && !m_finishTimer.isActive())
        followMouse(m_lastCursor, true);
    QGraphicsScene::keyPressEvent(event);
}

void MainScene::keyReleaseEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Shift && m_tool && !m_finishTimer.isActive())
        followMouse(m_lastCursor, false);
    QGraphicsScene::keyReleaseEvent(event);
}

void MainScene::followMouse(const QPointF &pos, bool shift)
{
    if (m_tool->pointCount() > 1)
        m_tool->moveLast(constrained(pos, shift));
}

QPointF MainScene::constrained(const QPointF &pos, bool shift) const
{
    const QVector<QPointF> p = m_tool->points();
    const int n = p.size();
    if (n < 3 || MeasureGeometry::fuzzyEqual(p[0], p[1]))
        return pos;
    const QPointF base = p[1] - p[0];
    switch (m_tool->drawType()) {
    case DrawType::ThreePointLine:
    case DrawType::Par:
    case DrawType::ThreePointRect:
    case DrawType::ThreePointEllipse:
        return n == 3 ? squareTo(pos, p[0], base, p[1]) : pos;
    case DrawType::FourPointParLine:
        return n == 4 ? alongLine(pos, p[2], base) : pos;
    case DrawType::FourPointVerLine:
        return n == 4 ? squareTo(pos, p[2], base, p[2]) : pos;
    case DrawType::ThreeAng:
        // Shift: a right angle at the vertex.
        return shift && n == 3 ? squareTo(pos, p[0], base, p[1]) : pos;
    case DrawType::FourAng:
        return shift && n == 4 ? squareTo(pos, p[2], base, p[2]) : pos;
    default:
        return pos;
    }
}

QVector<QPointF> MainScene::snapped(const QVector<QPointF> &points, int mode)
{
    if (m_edgeMode != mode || !snaps(mode, m_drawType))
        return points;
    emit sendPointsForEdgeDetect(EdgeDetectInfo{points, mode, m_edgeRange, m_drawType});
    if (!m_snapper)
        return points;
    const QVector<QPointF> answer = m_snapper(points, mode, m_edgeRange);
    return answer.size() == points.size() ? answer : points;
}

void MainScene::finishShape()
{
    m_tool->setPoints(snapped(m_tool->points(), 2));
    emit signalDisableMeasureframe(true);
    m_finishTimer.start();
}

void MainScene::finalise()
{
    Base *tool = m_tool;
    if (!tool)
        return;
    m_tool = nullptr;
    if (isOpen(tool->drawType()))
        m_hint->hide();
    if (tool->isType(DrawType::CropRect)) {
        const QVector<QPointF> p = tool->points();
        emit signalSendCropRect(QRectF(p[0], p[1]).normalized());
        delete tool;
    } else {
        m_undo.push(new AddItemCommand(this, tool));
    }
    emit signalDisableMeasureframe(false);
}

void MainScene::reportSelection()
{
    QList<int> rows;
    for (int i = 0; i < m_finished.size(); ++i) {
        const Base *tool = m_finished.at(i);
        if (tool->item()->isSelected() || tool->label()->isSelected())
            rows << i;
    }
    emit itemSelected(rows);
}

void MainScene::slotDelAllItem()
{
    abandonTool();
    if (!m_finished.isEmpty())
        m_undo.push(new RemoveAllCommand(this));
}
