#include "photonaming.h"

#include "configstore.h"
#include "constants.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <iterator>

namespace {

// The characters refused in a prefix, in the order the message lists them.
const QString kRefused = QStringLiteral("\\ /:*?\"<>|");

const char *const kFormats[] = {"bmp", "jpg", "png", "tiff"};

// An example code for the sample name of the code namings.
const char kExampleCode[] = "6901234567892";

bool isRefused(QChar c)
{
    return kRefused.contains(c) || c.category() == QChar::Other_Control;
}

// `base` + "." + `extension` in `folder`, or the first of base_2, base_3, ... that is free.
QString freePath(const QDir &folder, const QString &base, const QString &extension)
{
    QString path = folder.filePath(base + QLatin1Char('.') + extension);
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(QStringLiteral("%1_%2.%3").arg(base).arg(n).arg(extension));
    return path;
}

} // namespace

namespace {

int validTimeFormat(int index)
{
    return index >= 0 && index < int(std::size(Constants::kTimeNamingFormats)) ? index : 0;
}

int validDigits(int digits)
{
    return digits >= 4 && digits <= 6 ? digits : 4;
}

QString validPrefix(const QString &prefix)
{
    return PhotoNaming::isValidPrefix(prefix) ? prefix : QString();
}

} // namespace

PhotoNaming PhotoNaming::fromSettings()
{
    ConfigStore &store = ConfigStore::instance();
    PhotoNaming naming;
    naming.prefix = validPrefix(store.value(DrawProperty::PrefixData).toString());
    const int kind = store.value(DrawProperty::SaveType, int(AutoIndex)).toInt();
    naming.kind = kind >= Time && kind <= SmartScan ? Kind(kind) : AutoIndex;
    naming.timeFormatIndex = validTimeFormat(store.value(ConfigGroup::Snap, SnapKey::TimeNamingFormatIndex, 0).toInt());
    naming.digits = validDigits(store.value(ConfigGroup::Snap, SnapKey::AutoNumberingDigits, 4).toInt());
    const QString format = store.value(DrawProperty::PhotoFormat).toString().toLower();
    if (formats().contains(format))
        naming.format = format;
    return naming;
}

PhotoNaming PhotoNaming::fromRecordSettings()
{
    ConfigStore &store = ConfigStore::instance();
    PhotoNaming naming;
    naming.prefix = validPrefix(store.value(ConfigGroup::Record, RecordKey::PrefixDataVideo).toString());
    // A video has no code to be named by.
    const int kind = store.value(ConfigGroup::Record, RecordKey::SaveTypeVideo, int(AutoIndex)).toInt();
    naming.kind = kind == Time ? Time : AutoIndex;
    naming.timeFormatIndex =
        validTimeFormat(store.value(ConfigGroup::Record, RecordKey::TimeNamingFormatIndex, 0).toInt());
    naming.digits = validDigits(store.value(ConfigGroup::Record, RecordKey::AutoNumberingDigits, 4).toInt());
    naming.format = QStringLiteral("mp4");
    return naming;
}

QStringList PhotoNaming::formats()
{
    QStringList list;
    for (const char *format : kFormats)
        list << QString::fromLatin1(format);
    return list;
}

bool PhotoNaming::isValidPrefix(const QString &prefix)
{
    return std::none_of(prefix.begin(), prefix.end(), isRefused);
}

QString PhotoNaming::prefixError()
{
    return QStringLiteral("Input error, the following characters are not supported:\n") + kRefused;
}

QString PhotoNaming::timeFormat() const
{
    return QString::fromLatin1(Constants::kTimeNamingFormats[timeFormatIndex]);
}

QString PhotoNaming::sampleName(const QDateTime &now) const
{
    QString part;
    if (namesByCode())
        part = QString::fromLatin1(kExampleCode);
    else if (kind == Time)
        part = now.toString(timeFormat());
    else
        part = QStringLiteral("%1").arg(1, digits, 10, QLatin1Char('0'));
    return prefix + part + QLatin1Char('.') + format;
}

QString PhotoNaming::nextPath(const QString &folder, const QString &extension, const QString &scanText,
                              const QDateTime &now) const
{
    const QDir dir(folder);
    const QString code = sanitizedCode(scanText);
    if (kind == AutoIndex) {
        const QRegularExpression pattern(
            QStringLiteral("^%1(\\d+)\\.%2$")
                .arg(QRegularExpression::escape(prefix), QRegularExpression::escape(extension)),
            QRegularExpression::CaseInsensitiveOption);
        qint64 highest = 0;
        const QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
        for (const QString &name : names) {
            const QRegularExpressionMatch match = pattern.match(name);
            if (match.hasMatch())
                highest = std::max(highest, match.captured(1).toLongLong());
        }
        return freePath(dir, prefix + QStringLiteral("%1").arg(highest + 1, digits, 10, QLatin1Char('0')), extension);
    }
    if (namesByCode() && !code.isEmpty())
        return freePath(dir, prefix + code, extension);
    return freePath(dir, prefix + now.toString(timeFormat()), extension);
}

QString PhotoNaming::sanitizedCode(const QString &code)
{
    QString safe = code.trimmed();
    for (QChar &c : safe) {
        if (isRefused(c))
            c = QLatin1Char('_');
    }
    // A name of dots alone would be the folder itself or its parent.
    if (safe.startsWith(QLatin1Char('.')))
        safe[0] = QLatin1Char('_');
    return safe;
}
