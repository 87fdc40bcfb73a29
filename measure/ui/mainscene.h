#pragma once

#include "drawproperty.h"
#include "drawtype.h"
#include "unitconverter.h"

#include <QGraphicsScene>
#include <QHash>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QUndoStack>
#include <QVector>

#include <functional>

class Base;
class GraphicsText;
struct TemplateShape;

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
    // How pixels become the unit: the calibration in use, for every shape and new ones.
    const UnitConverter &converter() const { return m_converter; }
    void setConverter(const UnitConverter &converter);
    // Decimals of the results, for every shape and new ones.
    void setPrecision(int decimals);

    // Layers in table order; new shapes go into the current one. A layer name is trimmed, not
    // empty and unique; the last layer cannot be removed. Adding, renaming and removing are
    // steps of the undo stack (removing takes the layer's shapes with it); showing, hiding and
    // the current layer are not.
    QStringList layerNames() const;
    QString layerName() const { return m_layerName; }
    bool isLayerVisible(const QString &name) const;
    QMap<QString, bool> layerVisibility() const;
    // Whether the layer table shows the layer's shapes; kept for templates.
    bool isLayerExpanded(const QString &name) const;
    void setLayerExpanded(const QString &name, bool expanded);
    // "Layer 01", "Layer 02", ...: the first such name not taken.
    QString nextLayerName() const;
    bool addLayer(const QString &name);
    bool renameLayer(const QString &from, const QString &to);
    bool removeLayer(const QString &name);
    // The finished shapes of a layer, in row order.
    QList<Base *> layerShapes(const QString &name) const;
    static QString layerOf(const Base *tool);
    // The number shown before a shape's results; 0 for shapes that are not numbered.
    static int shapeNumber(const Base *tool);

    // The shapes with their layers as a template file. Importing replaces every shape and
    // layer and forgets the undo history; a refused file changes nothing. Empty on success,
    // else the message for the operator.
    QString exportTemplate(const QString &path) const;
    QString importTemplate(const QString &path);
    const QMap<DrawProperty, QVariant> &drawProperties() const { return m_properties; }

    // Sets the text of a finished free-text shape as an undo step; the text typed right after
    // placing it belongs to the placing step. Empty (or blank) text deletes the shape, and a
    // placing without text leaves no step at all. False for other shapes.
    bool setShapeText(Base *tool, const QString &text);
    // Placed as the latest step and still without its text.
    bool isTextPending(const Base *tool) const;

    // The hint text shown once per open tool kind.
    static QString finishHint();

signals:
    void itemInsert(Base *tool, int index);
    void itemUpdate(Base *tool);
    // An undone shape left the finished list at that index.
    void itemRemove(Base *tool, int index);
    void itemSelected(QList<int> rows);
    // A calibration line or circle was drawn: its length (the circle's diameter) in pixels.
    void caliOver(double pixelLength);
    // A free-text shape was placed, or its label double-clicked outside drawing: the operator
    // is to type its text (setShapeText).
    void ltextEdit(Base *tool);
    void crossStatusChanged();
    void clearDrawType();
    void sendPointsForEdgeDetect(EdgeDetectInfo info);
    void signalSendCropRect(QRectF rect);
    void sendSceneMouseMovePos(QPointF pos);
    void sendSceneMousePressedPos(QPointF pos);
    void signalDisableMeasureframe(bool disable);
    void signalDrawChange(QMap<DrawProperty, QVariant> properties);
    // After a redo from the view's button.
    void signalRedoExecuted();
    // The layer list, the current layer or a layer's visibility changed (order: layerNames()).
    void signalsetLayerTableWidget(QString curLayerName, QMap<QString, bool> layerVisibleMap);

public slots:
    // Abandons a shape in progress.
    void setDrawMode(int drawType);
    // Back to the idle mode.
    void slotClearDrawType();
    // Merges the entries into the current properties and applies them to every shape of the kinds
    // they name, finished or in progress, and to the cross-hair and grid lines in the scene.
    void setDrawProperty(QMap<DrawProperty, QVariant> properties);
    // Deletes every shape (one step of the undo stack) and any shape in progress.
    void slotDelAllItem();
    // The view's undo and redo buttons: a shape in progress is abandoned rather than anything
    // undone; the selection is reported again afterwards, the rows having changed.
    void onUndoOpt();
    void onRedoOpt();
    // Deletes the shapes of those rows as one undo step. The results sheet serves several
    // views: only the scene named acts.
    void onDeleteItemsRedo(QList<int> selectedRows, MainScene *scene);
    void onSetCurLayer(const QString &layerName);
    // A hidden layer's shapes keep their rows.
    void onSetLayerVisible(const QString &layerName, bool visible);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    friend class AddItemCommand;
    friend class SetTextCommand;
    friend class MoveItemCommand;
    friend class ShapeRows;
    friend class AddLayerCommand;
    friend class RemoveLayerCommand;
    friend class RenameLayerCommand;

    struct Layer
    {
        QString name;
        bool visible = true;
        bool expanded = false;
    };
    // Where a shape's handles and label are.
    struct Place
    {
        QVector<QPointF> points;
        QPointF label;
        bool labelPlaced = false;
    };
    using Places = QHash<Base *, Place>;

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
    int layerIndex(const QString &name) const;
    bool isNewLayerName(const QString &name) const;
    void emitLayers();
    // Gives a finalised shape its identity, layer and number.
    void adopt(Base *tool, int id, const QString &layer, int number);
    // Into the scene and the finished list at the row (the end when out of range), shown as
    // its layer is; the row it got.
    int putShape(Base *tool, int row);
    Base *takeShape(int row);
    Places places() const;
    void applyPlace(Base *tool, const Place &place);
    // A shape of a template, or null when its kind takes other points.
    Base *rebuild(const TemplateShape &shape);

    int m_drawType = IdleMode;
    Base *m_tool = nullptr;
    QList<Base *> m_finished;
    QUndoStack m_undo;
    QTimer m_finishTimer; // the pause that lets the last click show before the shape is final
    EdgeSnapper m_snapper;
    int m_edgeMode = 0;
    int m_edgeRange = 10;
    int m_unit = Unit::Pixel;
    int m_precision = 2; // what a new label shows
    UnitConverter m_converter;
    int m_nextId = 1;
    int m_nextSerial = 1;
    int m_shapeCount = 0; // the number of the last numbered shape
    QVector<Layer> m_layers;
    QString m_layerName;
    Places m_pressPlaces; // at the press in the selection mode
    QMap<DrawProperty, QVariant> m_properties;
    QSet<int> m_hintShown; // open tool kinds whose hint was shown
    GraphicsText *m_hint;
    QPointF m_lastSample;
    QPointF m_lastCursor;
};
