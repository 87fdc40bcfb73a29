#include "mainscene.h"

#include "base.h"
#include "shaperows.h"
#include "drawpen.h"
#include "graphicsgridlines.h"
#include "graphicsitems.h"
#include "measuregeometry.h"
#include "measureshapes.h"
#include "shapetemplate.h"

#include <QColor>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QUndoCommand>

#include <algorithm>

namespace {

constexpr double kSampleDistance = 10.0; // picture pixels between free-hand points
constexpr int kFinishPauseMs = 100;
// The placing of a free text and the first text typed into it are one undo step: the commands
// that may join the placing carry this id.
constexpr int kTextStepId = 1;

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

// The text of a free-text shape.
class SetTextCommand : public QUndoCommand
{
public:
    SetTextCommand(MainScene *scene, Base *tool, const QString &text, int id)
        : m_scene(scene), m_tool(tool), m_before(tool->label()->text()), m_after(text), m_id(id)
    {}
    int id() const override { return m_id; }
    void redo() override { set(m_after); }
    void undo() override { set(m_before); }

private:
    void set(const QString &text)
    {
        m_tool->label()->setText(text);
        emit m_scene->itemUpdate(m_tool);
    }

    MainScene *m_scene;
    Base *m_tool;
    QString m_before;
    QString m_after;
    int m_id;
};

// Puts a finalised shape into the finished list; undone, takes it out of the scene again.
// Whoever has a shape out of the scene owns it: this command while undone.
class AddItemCommand : public QUndoCommand
{
public:
    AddItemCommand(MainScene *scene, Base *tool)
        : m_scene(scene), m_tool(tool), m_textPending(tool->isType(DrawType::LText))
    {}
    ~AddItemCommand() override
    {
        if (!m_done)
            delete m_tool;
    }

    bool isTextPending(const Base *tool) const { return m_textPending && m_done && tool == m_tool; }
    int id() const override { return m_textPending ? kTextStepId : -1; }

    // The first text joins this step; deleting the text instead leaves no step at all.
    bool mergeWith(const QUndoCommand *other) override
    {
        if (!m_textPending)
            return false;
        m_textPending = false;
        if (!dynamic_cast<const SetTextCommand *>(other)) // the removal
            setObsolete(true);
        return true;
    }

    void redo() override
    {
        const bool first = m_index < 0;
        if (first) {
            m_number = m_tool->isNumbered() ? m_scene->m_shapeCount + 1 : 0;
            m_scene->adopt(m_tool, m_scene->m_nextId++, m_scene->m_layerName, m_number);
        }
        if (m_number > 0)
            m_scene->m_shapeCount = m_number;
        m_index = m_scene->putShape(m_tool, m_index);
        m_done = true;
        if (first && m_tool->isType(DrawType::LText))
            emit m_scene->ltextEdit(m_tool);
    }

    void undo() override
    {
        m_scene->takeShape(m_index);
        if (m_number > 0)
            m_scene->m_shapeCount = m_number - 1; // the next shape gets this number again
        m_done = false;
    }

private:
    MainScene *m_scene;
    Base *m_tool;
    int m_index = -1;
    int m_number = 0;
    bool m_done = false;
    bool m_textPending;
};

// Deletes the shapes of some rows (or all); undoing brings each back in its row.
class RemoveItemCommand : public QUndoCommand
{
public:
    RemoveItemCommand(MainScene *scene, const QList<int> &rows, int id = -1) : m_shapes(scene, rows), m_id(id) {}
    int id() const override { return m_id; }
    void redo() override { m_shapes.take(); }
    void undo() override { m_shapes.restore(); }

private:
    ShapeRows m_shapes;
    int m_id;
};

// Handles and labels dragged in the selection mode, from where they were at the press.
class MoveItemCommand : public QUndoCommand
{
public:
    MoveItemCommand(MainScene *scene, const MainScene::Places &before, const MainScene::Places &after)
        : m_scene(scene), m_before(before), m_after(after)
    {}

    void redo() override
    {
        if (m_pushed) // already there when pushed
            apply(m_after);
        m_pushed = true;
    }
    void undo() override { apply(m_before); }

private:
    void apply(const MainScene::Places &places)
    {
        for (auto it = places.cbegin(); it != places.cend(); ++it)
            m_scene->applyPlace(it.key(), it.value());
    }

    MainScene *m_scene;
    MainScene::Places m_before;
    MainScene::Places m_after;
    bool m_pushed = false;
};

MainScene::MainScene(QObject *parent)
    : QGraphicsScene(parent)
    , m_layers{{tr("Background")}}
    , m_layerName(m_layers.constFirst().name)
    , m_hint(new GraphicsTextNoData)
{
    qRegisterMetaType<EdgeDetectInfo>();
    m_undo.setUndoLimit(20);
    m_finishTimer.setSingleShot(true);
    m_finishTimer.setInterval(kFinishPauseMs);
    // Continued from the event loop rather than a nested one; a press meanwhile finishes it first.
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
    blockSignals(true); // deleting selected shapes would report a selection of deleted rows
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

void MainScene::setConverter(const UnitConverter &converter)
{
    m_converter = converter;
    for (Base *tool : qAsConst(m_finished)) {
        tool->setConverter(converter);
        emit itemUpdate(tool);
    }
    if (m_tool)
        m_tool->setConverter(converter);
}

void MainScene::setPrecision(int decimals)
{
    m_precision = decimals;
    for (Base *tool : qAsConst(m_finished)) {
        tool->setPrecision(decimals);
        emit itemUpdate(tool);
    }
    if (m_tool)
        m_tool->setPrecision(decimals);
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
    auto *tool = new Base(type, this, m_unit, m_properties);
    tool->setConverter(m_converter);
    tool->setPrecision(m_precision);
    return tool;
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
    for (QGraphicsItem *item : items()) {
        if (item->type() == GraphicsGridLines::Type) {
            static_cast<GraphicsGridLines *>(item)->applyProperties(properties);
        } else if (item->type() == CrossItemType) {
            auto *cross = static_cast<GraphicsCross *>(item);
            cross->setPen(drawPen(cross->pen(), properties, DrawProperty::DrawAuxiliaryMarkerColor,
                                  DrawProperty::DrawAuxiliaryMarkerWidth, DrawProperty::DrawAuxiliaryMarkerStyle));
        }
    }
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
        if (m_drawType == SelectMode && event->button() == Qt::LeftButton)
            m_pressPlaces = places();
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
    if (!isDrawingMode() && event->button() == Qt::LeftButton) {
        const QList<QGraphicsItem *> under = items(event->scenePos());
        for (Base *tool : qAsConst(m_finished)) {
            if (tool->isType(DrawType::LText) && under.contains(tool->label())) {
                event->accept();
                emit ltextEdit(tool);
                return;
            }
        }
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
    } else if (tool->isType(DrawType::LCali) || tool->isType(DrawType::CCali)) {
        // A calibration's line or circle is no result: only its length in pixels goes on.
        const QVector<QPointF> p = tool->points();
        const double pixels = tool->isType(DrawType::LCali)
                                  ? MeasureGeometry::distance(p[0], p[1])
                                  : 2 * MeasureGeometry::circleThroughPoints(p[0], p[1], p[2]).radius;
        delete tool;
        if (pixels > 0)
            emit caliOver(pixels);
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
    QList<int> rows;
    for (int row = 0; row < m_finished.size(); ++row)
        rows << row;
    if (!rows.isEmpty())
        m_undo.push(new RemoveItemCommand(this, rows));
}

void MainScene::onUndoOpt()
{
    if (m_tool)
        abandonTool();
    else
        m_undo.undo();
    reportSelection();
}

void MainScene::onRedoOpt()
{
    if (m_tool)
        abandonTool();
    m_undo.redo();
    emit signalRedoExecuted();
    reportSelection();
}

void MainScene::onDeleteItemsRedo(QList<int> selectedRows, MainScene *scene)
{
    if (scene != this)
        return;
    std::sort(selectedRows.begin(), selectedRows.end());
    selectedRows.erase(std::unique(selectedRows.begin(), selectedRows.end()), selectedRows.end());
    selectedRows.erase(std::remove_if(selectedRows.begin(), selectedRows.end(),
                                      [this](int row) { return row < 0 || row >= m_finished.size(); }),
                       selectedRows.end());
    if (!selectedRows.isEmpty())
        m_undo.push(new RemoveItemCommand(this, selectedRows));
}

bool MainScene::isTextPending(const Base *tool) const
{
    const auto *placing = dynamic_cast<const AddItemCommand *>(m_undo.command(m_undo.index() - 1));
    return placing && placing->isTextPending(tool);
}

bool MainScene::setShapeText(Base *tool, const QString &text)
{
    const int row = m_finished.indexOf(tool);
    if (row < 0 || !tool->isType(DrawType::LText))
        return false;
    const int id = isTextPending(tool) ? kTextStepId : -1;
    if (text.trimmed().isEmpty())
        m_undo.push(new RemoveItemCommand(this, {row}, id));
    else if (text != tool->label()->text() || id != -1)
        m_undo.push(new SetTextCommand(this, tool, text, id));
    return true;
}

void MainScene::adopt(Base *tool, int id, const QString &layer, int number)
{
    GraphicsConnect *item = tool->item();
    item->setProperty(ItemData::graphicsId, id);
    item->setProperty(ItemData::layerName, layer);
    if (number > 0) {
        tool->label()->format().sequence = number;
        tool->label()->refresh();
    }
    connect(item, &GraphicsConnect::signalItemMove, this, [this, tool] { emit itemUpdate(tool); });
}

int MainScene::putShape(Base *tool, int row)
{
    if (tool->item()->scene() != this) {
        addItem(tool->item());
        addItem(tool->label());
    }
    // The layer, the unit or the calibration may have changed while the shape was out.
    tool->setConverter(m_converter);
    tool->setUnit(m_unit);
    tool->setPrecision(m_precision);
    const bool visible = isLayerVisible(layerOf(tool));
    tool->item()->setVisible(visible);
    tool->label()->setVisible(visible);
    if (row < 0 || row > m_finished.size())
        row = m_finished.size();
    m_finished.insert(row, tool);
    emit itemInsert(tool, row);
    return row;
}

Base *MainScene::takeShape(int row)
{
    Base *tool = m_finished.takeAt(row);
    removeItem(tool->item());
    removeItem(tool->label());
    emit itemRemove(tool, row);
    return tool;
}

MainScene::Places MainScene::places() const
{
    Places places;
    for (Base *tool : m_finished)
        places.insert(tool, {tool->points(), tool->label()->pos(), tool->label()->isPlaced()});
    return places;
}

void MainScene::applyPlace(Base *tool, const Place &place)
{
    tool->setPoints(place.points); // the label follows unless placed
    tool->label()->setPlaced(place.labelPlaced);
    tool->label()->setPos(place.label);
}

void MainScene::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene::mouseReleaseEvent(event);
    if (m_drawType != SelectMode || m_pressPlaces.isEmpty())
        return;
    Places before, after;
    const Places now = places();
    for (auto it = m_pressPlaces.cbegin(); it != m_pressPlaces.cend(); ++it) {
        const auto found = now.constFind(it.key());
        if (found == now.cend())
            continue;
        const Place &a = it.value(), &b = *found;
        bool same = MeasureGeometry::fuzzyEqual(a.label, b.label) && a.points.size() == b.points.size();
        for (int i = 0; same && i < a.points.size(); ++i)
            same = MeasureGeometry::fuzzyEqual(a.points[i], b.points[i]);
        if (!same) {
            before.insert(it.key(), a);
            after.insert(it.key(), b);
        }
    }
    m_pressPlaces.clear();
    if (!before.isEmpty())
        m_undo.push(new MoveItemCommand(this, before, after));
}
