#include "base.h"

#include "drawpen.h"
#include "graphicsitems.h"
#include "measureshapes.h"
#include "unitconverter.h"

#include <QColor>
#include <QFont>
#include <QGraphicsScene>
#include <QHash>

namespace {

// The name its drawing properties start with.
QString propertyPrefix(DrawType type)
{
    switch (type) {
    case DrawType::Par: return QStringLiteral("ParLine");
    case DrawType::AnyPar: return QStringLiteral("AnyParLine");
    case DrawType::Ver: return QStringLiteral("VerLine");
    case DrawType::FourAng: return QStringLiteral("FourAngle");
    case DrawType::ThreeAng: return QStringLiteral("ThreeAngle");
    case DrawType::Cir: return QStringLiteral("Circle");
    case DrawType::RadiusCir: return QStringLiteral("RadiusCircle");
    case DrawType::DiameterCir: return QStringLiteral("DiameterCircle");
    case DrawType::LCir: return QStringLiteral("LineCircle");
    case DrawType::TCir: return QStringLiteral("TwoCircle");
    case DrawType::CCir: return QStringLiteral("CircleCenterLine");
    case DrawType::FourPointTCir: return QStringLiteral("FourPointTwoCircle");
    case DrawType::FourPointConcentricCir: return QStringLiteral("FourPointConcentricCircle");
    case DrawType::CenterRadiusConcentricCir: return QStringLiteral("CenterRadiusConcentricCircle");
    case DrawType::AnyPointConcentricCir: return QStringLiteral("AnyPointConcentricCircle");
    case DrawType::LCali:
    case DrawType::CCali: return QStringLiteral("CalibrationLine");
    case DrawType::MarkRect: return QStringLiteral("DrawMarkRect");
    case DrawType::MarkCir: return QStringLiteral("DrawMarkCircle");
    case DrawType::MarkArrow: return QStringLiteral("DrawMarkArrow");
    case DrawType::MarkAnyLine: return QStringLiteral("DrawMarkAnyLine");
    case DrawType::LText: return QStringLiteral("LText_");
    default: return MeasureShapes::typeName(type);
    }
}

bool hasNoData(DrawType type)
{
    const MeasureShapes::ToolKind *kind = MeasureShapes::toolKind(type);
    return kind && !kind->measure;
}

} // namespace

Base::Base(DrawType type, QGraphicsScene *scene, int unit, const QMap<DrawProperty, QVariant> &properties)
    : m_type(type), m_scene(scene), m_unit(MeasureShapes::toolUnit(type, unit)), m_properties(properties)
{
    if (type == DrawType::VLine)
        m_constraint = 1;
    else if (type == DrawType::HLine)
        m_constraint = 2;
}

Base::~Base()
{
    delete m_item;
    delete m_label;
}

QString Base::typeName() const
{
    return MeasureShapes::typeName(m_type);
}

std::optional<DrawProperty> Base::propertyNamed(const QString &name)
{
    static const QHash<QString, int> ids = [] {
        QHash<QString, int> byName;
        for (int id = 0; id < DrawPropertyCount; ++id)
            byName.insert(drawPropertyName(DrawProperty(id)), id);
        return byName;
    }();
    const auto it = ids.constFind(name);
    return it == ids.cend() ? std::nullopt : std::optional<DrawProperty>(DrawProperty(*it));
}

bool Base::isMark() const
{
    return m_type == DrawType::MarkRect || m_type == DrawType::MarkCir || m_type == DrawType::MarkArrow ||
           m_type == DrawType::MarkAnyLine;
}

bool Base::isNumbered() const
{
    return !isMark() && m_type != DrawType::PointPosition && m_type != DrawType::PointSerialNumber &&
           m_type != DrawType::LText;
}

QVector<QPointF> Base::points() const
{
    return m_item ? m_item->points() : QVector<QPointF>();
}

int Base::pointCount() const
{
    return m_item ? m_item->handles().size() : 0;
}

bool Base::isComplete() const
{
    return MeasureShapes::isComplete(m_type, pointCount());
}

bool Base::isFinished() const
{
    return MeasureShapes::isFinished(m_type, points());
}

void Base::addPoint(const QPointF &pos)
{
    if (!m_item) {
        m_label = hasNoData(m_type) ? new GraphicsTextNoData : new GraphicsText;
        m_label->format().unit = m_unit;
        m_label->format().converter = m_converter;
        if (m_type == DrawType::LText)
            m_label->setText(tr("Text"));
        m_item = new GraphicsConnect(m_type, m_label);
        applyProperties(m_properties);
        m_scene->addItem(m_item);
        m_scene->addItem(m_label);
        m_item->addHandle(pos, m_constraint);
    }
    m_item->addHandle(pos, m_constraint);
}

void Base::moveLast(const QPointF &pos)
{
    if (pointCount() > 0)
        m_item->handles().last()->setPos(pos);
}

void Base::removeLast()
{
    if (m_item)
        m_item->removeLastHandle();
}

void Base::setPoints(const QVector<QPointF> &points)
{
    const QList<GraphicsPoint *> &handles = m_item->handles();
    for (int i = 0; i < handles.size() && i < points.size(); ++i)
        handles[i]->setPos(points[i]);
}

bool Base::keepsItsUnit() const
{
    return m_type == DrawType::PointPosition || m_type == DrawType::PointSerialNumber || m_unit == Unit::None ||
           m_unit == Unit::Degree;
}

void Base::setUnit(int unit)
{
    if (keepsItsUnit())
        return;
    m_unit = unit;
    if (m_label) {
        m_label->format().unit = unit;
        m_label->refresh();
    }
}

void Base::setConverter(const UnitConverter &converter)
{
    m_converter = converter;
    // Text, angles, positions and serial numbers keep what they show.
    if (m_label && !keepsItsUnit()) {
        m_label->format().converter = converter;
        m_label->refresh();
    }
}

void Base::setPrecision(int decimals)
{
    if (m_label && m_label->format().precision != decimals) {
        m_label->format().precision = decimals;
        m_label->refresh();
    }
}

std::optional<DrawProperty> Base::propertyId(const char *suffix) const
{
    return propertyNamed(propertyPrefix(m_type) + QLatin1String(suffix));
}

void Base::applyProperties(const QMap<DrawProperty, QVariant> &properties)
{
    const QString prefix = propertyPrefix(m_type);
    const auto id = [&](const char *suffix) { return propertyNamed(prefix + QLatin1String(suffix)); };
    const auto find = [&](const char *suffix) {
        const std::optional<DrawProperty> key = id(suffix);
        return key ? properties.value(*key) : QVariant();
    };
    for (const char *suffix : {"Color", "Width", "Style", "TextColor", "TextSize", "Font"}) {
        if (const std::optional<DrawProperty> key = id(suffix); key && properties.contains(*key))
            m_properties.insert(*key, properties.value(*key));
    }
    if (!m_item)
        return;
    // Free text has no outline: its keys are the text's colour, size ("Width") and font.
    const bool text = m_type == DrawType::LText;
    if (!text)
        m_item->setPen(drawPen(m_item->pen(), properties, id("Color"), id("Width"), id("Style")));
    if (const QVariant colour = find(text ? "Color" : "TextColor"); colour.isValid())
        m_label->setBrush(colour.value<QColor>());
    QFont font = m_label->font();
    if (const QVariant size = find(text ? "Width" : "TextSize"); size.isValid() && size.toInt() > 0)
        font.setPointSize(size.toInt());
    if (const QVariant family = find("Font"); text && !family.toString().isEmpty())
        font.setFamily(family.toString());
    m_label->setFont(font);
}
