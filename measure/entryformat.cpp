#include "entryformat.h"

#include "measuregeometry.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

namespace {

const char *const kKeywords[] = {
    QT_TRANSLATE_NOOP("GraphicsText", "CLen"),   QT_TRANSLATE_NOOP("GraphicsText", "Len"),
    QT_TRANSLATE_NOOP("GraphicsText", "Wid"),    QT_TRANSLATE_NOOP("GraphicsText", "Hei"),
    QT_TRANSLATE_NOOP("GraphicsText", "Dis"),    QT_TRANSLATE_NOOP("GraphicsText", "Area"),
    QT_TRANSLATE_NOOP("GraphicsText", "Radian"), QT_TRANSLATE_NOOP("GraphicsText", "Eccentricity"),
    QT_TRANSLATE_NOOP("GraphicsText", "R"),      QT_TRANSLATE_NOOP("GraphicsText", "D"),
    QT_TRANSLATE_NOOP("GraphicsText", "Angle"),  QT_TRANSLATE_NOOP("GraphicsText", "Pos"),
    QT_TRANSLATE_NOOP("GraphicsText", "Num"),
};

// Whole words only: "Len" inside "CLen" and "R" inside "Radian" stay as they are.
QString translateKeywords(const QString &label)
{
    static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    QString result;
    int done = 0;
    auto it = word.globalMatch(label);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        result += label.midRef(done, m.capturedStart() - done);
        const QString text = m.captured();
        const auto keyword = std::find_if(std::begin(kKeywords), std::end(kKeywords),
                                          [&](const char *k) { return text == QLatin1String(k); });
        result += keyword != std::end(kKeywords) ? QCoreApplication::translate("GraphicsText", *keyword) : text;
        done = m.capturedEnd();
    }
    return result + label.midRef(done);
}

} // namespace

bool EntryFormat::isEllipse(const QVector<MeasureEntry> &entries)
{
    return !entries.isEmpty() && entries.first().label == QLatin1String("GraphicsEllipse\n");
}

QString EntryFormat::key(const MeasureEntry &entry, bool keepDigits)
{
    QString name = entry.label.section('=', 0, 0);
    name.remove(QRegularExpression(keepDigits ? QStringLiteral("\\s") : QStringLiteral("[\\s\\d]")));
    return name;
}

double EntryFormat::number(const MeasureEntry &entry, bool ellipse) const
{
    if (entry.isRadian)
        return entry.value / 180 * MeasureGeometry::kPi;
    if (key(entry, ellipse) == QLatin1String("Eccentricity"))
        return entry.value;
    return converter.toUnit(entry.value, unit, entry.isArea);
}

QString EntryFormat::suffix(const MeasureEntry &entry, bool ellipse) const
{
    if (entry.isRadian)
        return QStringLiteral(" rad");
    if (entry.isPosition || key(entry, ellipse) == QLatin1String("Eccentricity"))
        return QString();
    const QString text = converter.unitText(unit);
    return entry.isArea && unit != Unit::Degree ? text + QStringLiteral("\u00b2") : text;
}

QString EntryFormat::line(const MeasureEntry &entry, bool ellipse) const
{
    const QString label = translateKeywords(entry.label);
    const QString value = QString::number(number(entry, ellipse), 'f', precision);
    QString line;
    if (entry.isPosition) // both coordinates in place of a unit
        line = label.arg(value, QString::number(converter.toUnit(entry.y, unit, false), 'f', precision));
    else if (label.contains(QLatin1String("%2")))
        line = label.arg(value, suffix(entry, ellipse));
    else
        line = label.arg(value);
    return sequence > 0 ? QStringLiteral("[%1] ").arg(sequence) + line : line;
}

QString EntryFormat::text(const QVector<MeasureEntry> &entries) const
{
    const bool ellipse = isEllipse(entries);
    QString text;
    for (const MeasureEntry &entry : entries) {
        if (!entry.isHeader())
            text += line(entry, ellipse);
    }
    if (text.endsWith('\n'))
        text.chop(1);
    return text;
}
