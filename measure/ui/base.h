#pragma once

#include "drawproperty.h"
#include "drawtype.h"
#include "unitconverter.h"

#include <QMap>
#include <QObject>
#include <QPointF>
#include <QVariant>
#include <QVector>

#include <optional>

class GraphicsConnect;
class GraphicsText;
class QGraphicsScene;

// One shape being drawn or drawn: the clicked points (handles), the outline item and the result
// label. What differs between kinds (points to complete, outline, results) comes from the
// kind's table row, so a tool is its DrawType.
class Base : public QObject
{
    Q_OBJECT
public:
    // unit: the scene's unit; angles and text keep their own.
    Base(DrawType type, QGraphicsScene *scene, int unit, const QMap<DrawProperty, QVariant> &properties);
    // Deletes the outline with its handles and the label.
    ~Base() override;

    DrawType drawType() const { return m_type; }
    bool isType(DrawType type) const { return type == m_type; }
    // "Line", ..., "Position", "SerialNumber".
    QString typeName() const;
    // Marks carry no measurement.
    bool isMark() const;
    // Counted by the shape numbers: not positions, serial numbers, free text or marks.
    bool isNumbered() const;
    // 0 free, 1 vertical (the x stays), 2 horizontal (the y stays).
    int constraint() const { return m_constraint; }

    // The points in click order, the one following the mouse last.
    QVector<QPointF> points() const;
    int pointCount() const;
    // The count (the mouse's point included) completes the shape; open tools never are.
    bool isComplete() const;
    // Complete, and the last point is none of the earlier ones.
    bool isFinished() const;

    // The first call places the point and the copy that follows the mouse; later calls add a
    // new following point.
    void addPoint(const QPointF &pos);
    // Moves the point following the mouse.
    void moveLast(const QPointF &pos);
    void removeLast();
    // Replaces all points (edge snapping), keeping their count.
    void setPoints(const QVector<QPointF> &points);

    int unit() const { return m_unit; }
    // Positions and serial numbers ignore it; angles and text keep their own unit.
    void setUnit(int unit);
    void setConverter(const UnitConverter &converter);
    // Decimals of the results.
    void setPrecision(int decimals);
    // Shows no length: the unit and the calibration leave it alone.
    bool keepsItsUnit() const;
    // Colour, width, style and text style of this kind from the map; other entries are left alone.
    void applyProperties(const QMap<DrawProperty, QVariant> &properties);
    const QMap<DrawProperty, QVariant> &properties() const { return m_properties; }
    // This kind's drawing property with that suffix ("Color", "ShowLength"), if it has one.
    std::optional<DrawProperty> propertyId(const char *suffix) const;
    // The property of that name, if there is one.
    static std::optional<DrawProperty> propertyNamed(const QString &name);

    GraphicsConnect *item() const { return m_item; }
    GraphicsText *label() const { return m_label; }

private:
    DrawType m_type;
    QGraphicsScene *m_scene;
    int m_unit;
    UnitConverter m_converter;
    int m_constraint = 0;
    QMap<DrawProperty, QVariant> m_properties;
    GraphicsText *m_label = nullptr;
    GraphicsConnect *m_item = nullptr;
};
