#include "shapetemplate.h"

#include "drawtype.h"
#include "measureshapes.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QSet>

#include <cmath>

namespace {

// Far above any real template (thousands of shapes); a bigger file is not one of ours.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

QString tr(const char *text)
{
    return QCoreApplication::translate("ShapeTemplate", text);
}

QJsonObject shapeToJson(const TemplateShape &shape, const QString &layer)
{
    QJsonArray points;
    for (const QPointF &p : shape.points)
        points.append(QJsonObject{{"x", p.x()}, {"y", p.y()}});
    QJsonObject object{{"type", shape.type},
                       {"point", points},
                       {"GraphicNumber", shape.number},
                       {"GraphicsID", shape.id},
                       {"LayerName", layer}};
    if (!shape.text.isEmpty())
        object.insert("text", shape.text);
    if (!shape.properties.isEmpty())
        object.insert("Property", QJsonObject::fromVariantMap(shape.properties));
    return object;
}

bool isInt(const QJsonValue &value)
{
    return value.isDouble() && value.toDouble() == std::floor(value.toDouble()) && std::abs(value.toDouble()) < 1e9;
}

// The shape, or why the scene could not rebuild it.
QString shapeFromJson(const QJsonValue &value, const QString &layer, TemplateShape &shape)
{
    const QJsonObject object = value.toObject();
    if (!isInt(object.value("type")))
        return QStringLiteral("no type");
    shape.type = object.value("type").toInt();
    const MeasureShapes::ToolKind *kind = MeasureShapes::toolKind(DrawType(shape.type));
    if (!kind || shape.type == int(DrawType::CropRect))
        return QStringLiteral("no tool of type %1").arg(shape.type);
    for (const QJsonValue &p : object.value("point").toArray()) {
        const QJsonValue x = p.toObject().value("x"), y = p.toObject().value("y");
        if (!x.isDouble() || !y.isDouble() || !std::isfinite(x.toDouble()) || !std::isfinite(y.toDouble()))
            return QStringLiteral("a point without coordinates");
        shape.points << QPointF(x.toDouble(), y.toDouble());
    }
    const int count = shape.points.size();
    if (kind->points > 0 ? count != kind->points : count < std::max(kind->minimum, 1))
        return QStringLiteral("%1 points").arg(count);
    shape.number = isInt(object.value("GraphicNumber")) ? std::max(0, object.value("GraphicNumber").toInt()) : 0;
    shape.id = isInt(object.value("GraphicsID")) ? object.value("GraphicsID").toInt() : 0;
    shape.layer = layer; // the layer holding it wins over a stray "LayerName"
    shape.text = object.value("text").toString();
    shape.properties = object.value("Property").toObject().toVariantMap();
    return QString();
}

} // namespace

QByteArray ShapeTemplate::toJson() const
{
    QJsonArray layerArray;
    for (const TemplateLayer &layer : layers) {
        QJsonArray shapes;
        for (const TemplateShape &shape : layer.shapes)
            shapes.append(shapeToJson(shape, layer.name));
        layerArray.append(QJsonObject{{"Name", layer.name},
                                      {"Checked", layer.current},
                                      {"Expandable", layer.expanded},
                                      {"Show", layer.visible},
                                      {"Graphics", shapes}});
    }
    return QJsonDocument(QJsonObject{{"LayerVersion", version()}, {"LayerInfo", layerArray}}).toJson();
}

QString ShapeTemplate::fromJson(const QByteArray &data)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return tr("Failed to parse JSON data.");
    const QJsonObject root = document.object();
    const QString found = root.value("LayerVersion").toString();
    qInfo("Layer Version: %s", qUtf8Printable(found));
    if (found != version())
        return tr("This is no shape template of a known version.");

    QVector<TemplateLayer> read;
    QSet<QString> names;
    for (const QJsonValue &value : root.value("LayerInfo").toArray()) {
        const QJsonObject object = value.toObject();
        TemplateLayer layer;
        layer.name = object.value("Name").toString().trimmed();
        if (layer.name.isEmpty() || names.contains(layer.name))
            return tr("The template has a layer without a name or two layers of one name.");
        names.insert(layer.name);
        layer.current = object.value("Checked").toBool();
        layer.expanded = object.value("Expandable").toBool();
        layer.visible = object.value("Show").toBool(true);
        const QJsonArray shapes = object.value("Graphics").toArray();
        for (int i = 0; i < shapes.size(); ++i) {
            TemplateShape shape;
            const QString why = shapeFromJson(shapes.at(i), layer.name, shape);
            if (why.isEmpty())
                layer.shapes << shape;
            else
                qWarning("Template: shape %d of layer \"%s\" left out: %s", i, qUtf8Printable(layer.name),
                         qUtf8Printable(why));
        }
        read << layer;
    }
    if (read.isEmpty())
        return tr("The template has no layers.");
    layers = read;
    return QString();
}

QString ShapeTemplate::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toJson()) < 0 || !file.commit())
        return tr("Could not write %1: %2").arg(path, file.errorString());
    return QString();
}

QString ShapeTemplate::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return tr("Could not read %1: %2").arg(path, file.errorString());
    if (file.size() > kMaxFileSize)
        return tr("%1 is too large for a shape template.").arg(path);
    return fromJson(file.readAll());
}
