#pragma once

#include "drawproperty.h"
#include "drawtype.h"
#include "unitconverter.h"

#include <QGraphicsScene>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUndoStack>
#include <QVector>

#include <functional>

class Base;
class GraphicsText;

// Points handed to the edge search: mode 1 snaps each clicked point, mode 2 a finished shape's
// points, within `range` picture pixels.
struct EdgeDetectInfo
{
    QVector<QPointF> points;
    int mode = 0;
    int range = 0;
    int drawType = 0;
};
Q_DECLARE_METATYPE(EdgeDetectInfo)

// The drawing surface over the picture, in picture pixels: turns presses into shapes of the
// current DrawType, finalises them through the undo stack and keeps the finished ones in order
// (the index is the row of the results table).
class MainScene : public QGraphicsScene
{
    Q_OBJECT
public:
    // Answers one adjusted point per point given; set by the display that owns the picture.
    using EdgeSnapper = std::function<QVector<QPointF>(const QVector<QPointF> &points, int mode, int range)>;

    static constexpr int IdleMode = 2;
    static constexpr int SelectMode = 3;
    static constexpr int RegionMode = 49;

    explicit MainScene(QObject *parent = nullptr);
    ~MainScene() override;

    int drawType() const { return m_drawType; }
    Base *currentTool() const { return m_tool; }
    const QList<Base *> &finishedTools() const { return m_finished; }
    QUndoStack *undoStack() { return &m_undo; }
    GraphicsText *hintItem() const { return m_hint; }

    void setEdgeSnapper(EdgeSnapper snapper) { m_snapper = std::move(snapper); }
    // mode: 0 off, 1 point, 2 shape; range 5 to 20.
    void setEdgeDetect(int mode, int range);
    int unit() const { return m_unit; }
    // The unit every finished shape is shown in, and new ones.
    void setUnit(int unit);
    QString layerName() const { return m_layerName; }
    void setLayerName(const QString &name) { m_layerName = name; }
    const QMap<DrawProperty, QVariant> &drawProperties() const { return m_properties; }

    // The hint text shown once per open tool kind.
    static QString finishHint();

signals:
    void itemInsert(Base *tool, int index);
    void itemUpdate(Base *tool);
    // An undone shape left the finished list at that index.
    void itemRemove(Base *tool, int index);
    void itemSelected(QList<int> rows);
    void caliOver(Base *tool);
    void ltextEdit(Base *tool);
    void crossStatusChanged();
    void clearDrawType();
    void sendPointsForEdgeDetect(EdgeDetectInfo info);
    void signalSendCropRect(QRectF rect);
    void sendSceneMouseMovePos(QPointF pos);
    void sendSceneMousePressedPos(QPointF pos);
    void signalDisableMeasureframe(bool disable);
    void signalDrawChange(QMap<DrawProperty, QVariant> properties);

public slots:
    // Abandons a shape in progress.
    void setDrawMode(int drawType);
    // Back to the idle mode.
    void slotClearDrawType();
    // Merges the entries into the current properties and applies them to every shape of the kinds
    // they name, finished or in progress.
    void setDrawProperty(QMap<DrawProperty, QVariant> properties);
    // Deletes every shape (one step of the undo stack) and any shape in progress.
    void slotDelAllItem();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    friend class AddItemCommand;
    friend class RemoveAllCommand;
    bool isDrawingMode() const;
    Base *createTool(DrawType type);
    void rightPress(QGraphicsSceneMouseEvent *event);
    void abandonTool();
    // Where the point following the mouse goes for a cursor position: kept parallel or square
    // where the kind asks for it.
    QPointF constrained(const QPointF &pos, bool shift) const;
    void followMouse(const QPointF &pos, bool shift);
    // Mode 1 snaps one clicked point, mode 2 all the shape's points; otherwise as given.
    QVector<QPointF> snapped(const QVector<QPointF> &points, int mode);
    void finishShape();
    void finalise();
    void insertFinished(Base *tool, int index);
    void reportSelection();

    int m_drawType = IdleMode;
    Base *m_tool = nullptr;
    QList<Base *> m_finished;
    QUndoStack m_undo;
    QTimer m_finishTimer; // the pause that lets the last click show before the shape is final
    EdgeSnapper m_snapper;
    int m_edgeMode = 0;
    int m_edgeRange = 10;
    int m_unit = Unit::Pixel;
    int m_nextId = 1;
    int m_nextSerial = 1;
    QString m_layerName;
    QMap<DrawProperty, QVariant> m_properties;
    QSet<int> m_hintShown; // open tool kinds whose hint was shown
    GraphicsText *m_hint;
    QPointF m_lastSample;
    QPointF m_lastCursor;
};
