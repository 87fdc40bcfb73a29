// The scene's layers and its shape templates: the layer steps of the undo stack, visibility,
// and saving and loading the shapes with their layers.
#include "mainscene.h"

#include "base.h"
#include "graphicsitems.h"
#include "shaperows.h"
#include "shapetemplate.h"

#include <QUndoCommand>

// A new layer, made current.
class AddLayerCommand : public QUndoCommand
{
public:
    AddLayerCommand(MainScene *scene, const QString &name) : m_scene(scene), m_name(name) {}

    void redo() override
    {
        m_previous = m_scene->m_layerName;
        m_scene->m_layers.append({m_name});
        m_scene->m_layerName = m_name;
        m_scene->emitLayers();
    }

    void undo() override
    {
        m_scene->m_layers.remove(m_scene->layerIndex(m_name));
        m_scene->m_layerName = m_previous;
        m_scene->emitLayers();
    }

private:
    MainScene *m_scene;
    QString m_name;
    QString m_previous;
};

// A layer removed with its shapes; the first layer left becomes current if it was.
class RemoveLayerCommand : public QUndoCommand
{
public:
    RemoveLayerCommand(MainScene *scene, const QString &name, const QList<int> &rows)
        : m_scene(scene), m_index(scene->layerIndex(name)), m_layer(scene->m_layers.at(m_index)), m_shapes(scene, rows)
    {}

    void redo() override
    {
        m_layer = m_scene->m_layers.at(m_index); // shown or hidden since
        m_shapes.take();
        m_scene->m_layers.remove(m_index);
        m_wasCurrent = m_scene->m_layerName == m_layer.name;
        if (m_wasCurrent)
            m_scene->m_layerName = m_scene->m_layers.constFirst().name;
        m_scene->emitLayers();
    }

    void undo() override
    {
        m_scene->m_layers.insert(m_index, m_layer);
        if (m_wasCurrent)
            m_scene->m_layerName = m_layer.name;
        m_shapes.restore();
        m_scene->emitLayers();
    }

private:
    MainScene *m_scene;
    int m_index;
    MainScene::Layer m_layer;
    ShapeRows m_shapes;
    bool m_wasCurrent = false;
};

// A layer's new name, which its shapes follow.
class RenameLayerCommand : public QUndoCommand
{
public:
    RenameLayerCommand(MainScene *scene, const QString &from, const QString &to)
        : m_scene(scene), m_from(from), m_to(to)
    {}
    void redo() override { rename(m_from, m_to); }
    void undo() override { rename(m_to, m_from); }

private:
    void rename(const QString &from, const QString &to)
    {
        m_scene->m_layers[m_scene->layerIndex(from)].name = to;
        if (m_scene->m_layerName == from)
            m_scene->m_layerName = to;
        for (Base *tool : m_scene->layerShapes(from)) {
            tool->item()->setProperty(ItemData::layerName, to);
            emit m_scene->itemUpdate(tool);
        }
        m_scene->emitLayers();
    }

    MainScene *m_scene;
    QString m_from;
    QString m_to;
};

QString MainScene::layerOf(const Base *tool)
{
    return tool->item()->property(ItemData::layerName).toString();
}

int MainScene::shapeNumber(const Base *tool)
{
    return tool->isNumbered() ? tool->label()->format().sequence : 0;
}

int MainScene::layerIndex(const QString &name) const
{
    for (int i = 0; i < m_layers.size(); ++i) {
        if (m_layers.at(i).name == name)
            return i;
    }
    return -1;
}

QStringList MainScene::layerNames() const
{
    QStringList names;
    for (const Layer &layer : m_layers)
        names << layer.name;
    return names;
}

bool MainScene::isLayerVisible(const QString &name) const
{
    const int i = layerIndex(name);
    return i < 0 || m_layers.at(i).visible;
}

QMap<QString, bool> MainScene::layerVisibility() const
{
    QMap<QString, bool> visibility;
    for (const Layer &layer : m_layers)
        visibility.insert(layer.name, layer.visible);
    return visibility;
}

bool MainScene::isLayerExpanded(const QString &name) const
{
    const int i = layerIndex(name);
    return i >= 0 && m_layers.at(i).expanded;
}

void MainScene::setLayerExpanded(const QString &name, bool expanded)
{
    const int i = layerIndex(name);
    if (i >= 0)
        m_layers[i].expanded = expanded;
}

QString MainScene::nextLayerName() const
{
    for (int n = 1;; ++n) {
        const QString name = tr("Layer %1").arg(n, 2, 10, QLatin1Char('0'));
        if (layerIndex(name) < 0)
            return name;
    }
}

bool MainScene::isNewLayerName(const QString &name) const
{
    return !name.isEmpty() && name == name.trimmed() && layerIndex(name) < 0;
}

bool MainScene::addLayer(const QString &name)
{
    if (!isNewLayerName(name.trimmed()))
        return false;
    m_undo.push(new AddLayerCommand(this, name.trimmed()));
    return true;
}

bool MainScene::renameLayer(const QString &from, const QString &to)
{
    if (layerIndex(from) < 0 || !isNewLayerName(to.trimmed()))
        return false;
    m_undo.push(new RenameLayerCommand(this, from, to.trimmed()));
    return true;
}

bool MainScene::removeLayer(const QString &name)
{
    if (layerIndex(name) < 0 || m_layers.size() < 2)
        return false;
    QList<int> rows;
    for (int row = 0; row < m_finished.size(); ++row) {
        if (layerOf(m_finished.at(row)) == name)
            rows << row;
    }
    m_undo.push(new RemoveLayerCommand(this, name, rows));
    return true;
}

QList<Base *> MainScene::layerShapes(const QString &name) const
{
    QList<Base *> shapes;
    for (Base *tool : m_finished) {
        if (layerOf(tool) == name)
            shapes << tool;
    }
    return shapes;
}

void MainScene::onSetCurLayer(const QString &layerName)
{
    if (layerIndex(layerName) < 0 || layerName == m_layerName)
        return;
    m_layerName = layerName;
    emitLayers();
}

void MainScene::onSetLayerVisible(const QString &layerName, bool visible)
{
    const int i = layerIndex(layerName);
    if (i < 0 || m_layers.at(i).visible == visible)
        return;
    m_layers[i].visible = visible;
    for (Base *tool : layerShapes(layerName)) {
        tool->item()->setVisible(visible);
        tool->label()->setVisible(visible);
    }
    emitLayers();
}

void MainScene::emitLayers()
{
    emit signalsetLayerTableWidget(m_layerName, layerVisibility());
}

QString MainScene::exportTemplate(const QString &path) const
{
    ShapeTemplate file;
    for (const Layer &layer : m_layers) {
        TemplateLayer out{layer.name, layer.name == m_layerName, layer.expanded, layer.visible, {}};
        for (const Base *tool : layerShapes(layer.name)) {
            TemplateShape shape;
            shape.type = int(tool->drawType());
            shape.points = tool->points();
            shape.number = shapeNumber(tool);
            shape.id = tool->item()->property(ItemData::graphicsId).toInt();
            shape.layer = layer.name;
            if (tool->isType(DrawType::LText) || tool->isType(DrawType::PointSerialNumber))
                shape.text = tool->label()->text();
            const QMap<DrawProperty, QVariant> &properties = tool->properties();
            for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
                const QVariant &value = it.value();
                shape.properties.insert(drawPropertyName(it.key()), value.userType() == QMetaType::QColor
                                                                        ? value.value<QColor>().name(QColor::HexArgb)
                                                                        : value);
            }
            out.shapes << shape;
        }
        file.layers << out;
    }
    return file.save(path);
}

Base *MainScene::rebuild(const TemplateShape &shape)
{
    QMap<DrawProperty, QVariant> properties = m_properties;
    for (auto it = shape.properties.cbegin(); it != shape.properties.cend(); ++it) {
        if (const std::optional<DrawProperty> id = Base::propertyNamed(it.key())) {
            // Colours are stored by name.
            properties.insert(*id, it.key().endsWith(QLatin1String("Color")) ? QVariant(QColor(it.value().toString()))
                                                                             : it.value());
        }
    }
    auto *tool = new Base(DrawType(shape.type), this, m_unit, properties);
    const QVector<QPointF> &p = shape.points;
    tool->addPoint(p[0]); // the point and the copy that would follow the mouse
    for (int i = 1; i < p.size(); ++i) {
        tool->moveLast(p[i]);
        if (i + 1 < p.size())
            tool->addPoint(p[i]);
    }
    if (p.size() == 1)
        tool->removeLast();
    if (!shape.text.isEmpty())
        tool->label()->setText(shape.text);
    return tool;
}

QString MainScene::importTemplate(const QString &path)
{
    ShapeTemplate file;
    const QString error = file.load(path);
    if (!error.isEmpty())
        return error;

    abandonTool();
    m_undo.clear(); // its steps name shapes and layers that are going
    while (!m_finished.isEmpty())
        delete takeShape(m_finished.size() - 1);
    m_layers.clear();
    m_layerName.clear();
    m_shapeCount = 0;
    QSet<int> ids;
    QList<QPair<Base *, TemplateShape>> shapes;
    for (const TemplateLayer &layer : qAsConst(file.layers)) {
        m_layers.append({layer.name, layer.visible, layer.expanded});
        if (layer.current && m_layerName.isEmpty())
            m_layerName = layer.name;
        for (const TemplateShape &shape : layer.shapes) {
            shapes << qMakePair(rebuild(shape), shape);
            if (shape.id > 0)
                ids.insert(shape.id);
            m_shapeCount = std::max(m_shapeCount, shape.number);
        }
    }
    if (m_layerName.isEmpty())
        m_layerName = m_layers.constFirst().name;
    m_nextId = ids.isEmpty() ? 1 : *std::max_element(ids.cbegin(), ids.cend()) + 1;
    // Rows are in the order the shapes were drawn, which is the order of their identities.
    std::stable_sort(shapes.begin(), shapes.end(), [](const auto &a, const auto &b) {
        return unsigned(a.second.id - 1) < unsigned(b.second.id - 1); // those without one last
    });
    QSet<int> taken;
    for (const auto &entry : qAsConst(shapes)) {
        Base *tool = entry.first;
        const TemplateShape &shape = entry.second;
        const int id = shape.id > 0 && !taken.contains(shape.id) ? shape.id : m_nextId++;
        taken.insert(id);
        adopt(tool, id, shape.layer, tool->isNumbered() ? shape.number : 0);
        putShape(tool, -1);
    }
    emitLayers();
    return QString();
}
