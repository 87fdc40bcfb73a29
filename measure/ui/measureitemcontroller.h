#pragma once

#include "drawproperty.h"

#include <QMap>
#include <QTreeWidget>
#include <QVariant>

class Base;

// The display properties of the selected shapes, one group per shape: colour, line width, text
// size, which results the label shows, and the results themselves (read only). An edit applies
// to the shape's kind, as the drawing properties do.
class MeasureItemController : public QTreeWidget
{
    Q_OBJECT
public:
    explicit MeasureItemController(QWidget *parent = nullptr);
    void setTools(const QList<Base *> &tools);

signals:
    void signalDrawChange(QMap<DrawProperty, QVariant> properties);

private:
    void addGroup(Base *tool);
    QTreeWidgetItem *addRow(QTreeWidgetItem *group, const QString &name, QWidget *editor = nullptr);
};
