#include "buildinfo.h"

#include <QLocale>

QDateTime parseCompilerDateTime(const char *date, const char *time)
{
    // A one-digit day comes padded with a blank ("Dec  6 2026"): make it "Dec 06 2026".
    QString text = QString::fromLatin1(date).replace(QStringLiteral("  "), QStringLiteral(" 0"));
    text += QString::fromLatin1(time);
    return QLocale(QLocale::English).toDateTime(text, QStringLiteral("MMM dd yyyyhh:mm:ss"));
}

QDateTime buildDateTime()
{
    return parseCompilerDateTime(__DATE__, __TIME__);
}
