#pragma once

#include <QPointF>
#include <QString>
#include <QVariantMap>
#include <QVector>

// One shape of a template: its kind (a DrawType), its points in picture pixels in click order,
// its number (0: not numbered), identity, layer, text (free text, serial numbers) and drawing
// properties by name.
struct TemplateShape
{
    int type = 0;
    QVector<QPointF> points;
    int number = 0;
    int id = 0;
    QString layer;
    QString text;
    QVariantMap properties;
};

// A layer with its shapes: current ("Checked"), expanded in the layer table, shown.
struct TemplateLayer
{
    QString name;
    bool current = false;
    bool expanded = false;
    bool visible = true;
    QVector<TemplateShape> shapes;
};

// The shapes of a view grouped in layers, as saved to and loaded from a template file (JSON).
// Reading checks everything a scene relies on: a shape the scene could not rebuild (unknown
// kind, wrong number of points) is left out; a file without usable layers is refused.
class ShapeTemplate
{
public:
    QVector<TemplateLayer> layers;

    static QString version() { return QStringLiteral("V1.0.0"); }

    QByteArray toJson() const;
    // Empty on success, else why the data was refused (and nothing is kept).
    QString fromJson(const QByteArray &data);
    // Written to a temporary name and renamed; empty on success, else the reason.
    QString save(const QString &path) const;
    QString load(const QString &path);
};
