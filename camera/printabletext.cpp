#include "printabletext.h"

#include <QVector>

QString printableText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const uint c : text.toUcs4()) {
        if (c == '\t')
            out += QLatin1String("\\t");
        else if (c == '\n')
            out += QLatin1String("\\n");
        else if (c == '\r')
            out += QLatin1String("\\r");
        else if (!QChar::isPrint(c))
            out += c > 0xffff ? QStringLiteral("\\U%1").arg(c, 8, 16, QLatin1Char('0'))
                              : QStringLiteral("\\u%1").arg(c, 4, 16, QLatin1Char('0'));
        else
            out += QString::fromUcs4(&c, 1);
    }
    return out;
}
