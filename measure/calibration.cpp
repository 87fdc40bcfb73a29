#include "calibration.h"

#include "atomicfile.h"
#include "configstore.h"

#include <QDebug>
#include <QFile>
#include <QRegularExpression>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {

// The INI keys, in record order; the turret's follow.
const char *const kKeys[] = {"name",
                             "magnification",
                             "length",
                             "unit",
                             "real",
                             "pixel",
                             "resolution",
                             "scaleColor",
                             "scaleLineWidth",
                             "scaleTextSize",
                             "scaleCurrentLength"};
const char *const kTurretKeys[] = {"nosepieceSlot", "af", "delta", "isNosepiece"};

// Bars shorter than this are unreadable, longer ones cover the picture.
constexpr double MinScalePixels = 30;
constexpr double MaxScalePixels = 1500;
constexpr double DefaultScalePixels = 300;

QList<CalibrateData> records(const QList<QVariantMap> &maps)
{
    QList<CalibrateData> list;
    for (const QVariantMap &map : maps)
        list << CalibrateData::fromMap(map);
    return list;
}

QList<QVariantMap> maps(const QList<CalibrateData> &records, bool withTurret)
{
    QList<QVariantMap> list;
    for (const CalibrateData &record : records)
        list << record.toMap(withTurret);
    return list;
}

int widthOf(const QString &resolution)
{
    return resolution.section(QLatin1Char('x'), 0, 0, QString::SectionCaseInsensitiveSeps).trimmed().toInt();
}

} // namespace

CalibrateData CalibrateData::create(const QString &name, const QString &magnification, double length,
                                    const QString &unit, double pixel, const QSize &resolution)
{
    CalibrateData data;
    data.name = name;
    data.magnification = magnification.trimmed();
    if (data.magnification.endsWith(QLatin1Char('x')))
        data.magnification.chop(1);
    if (!data.magnification.endsWith(QLatin1Char('X')))
        data.magnification += QLatin1Char('X');
    data.length = length;
    data.unit = unit;
    data.pixel = pixel;
    const int code = UnitConverter::unitCode(unit);
    data.real = code > Unit::Pixel && pixel > 0 ? length * UnitConverter::micrometres(code) / pixel : length;
    if (resolution.isValid())
        data.resolution = QStringLiteral("%1x%2").arg(resolution.width()).arg(resolution.height());
    const double scaleLength =
        code > Unit::Pixel ? ScaleLength::byDefault(data.converter(0), code, 0) : DefaultScalePixels;
    data.scaleCurrentLength = ScaleLength::text(scaleLength) + unit;
    return data;
}

bool CalibrateData::sameExchanged(const CalibrateData &o) const
{
    return name == o.name && magnification == o.magnification && length == o.length && unit == o.unit &&
           real == o.real && pixel == o.pixel && resolution == o.resolution && scaleColor == o.scaleColor &&
           scaleLineWidth == o.scaleLineWidth && scaleTextSize == o.scaleTextSize &&
           scaleCurrentLength == o.scaleCurrentLength;
}

QVariantMap CalibrateData::toMap(bool withTurret) const
{
    const QVariant values[] = {
        name,          magnification,     length, unit, real, pixel, resolution, scaleColor, scaleLineWidth,
        scaleTextSize, scaleCurrentLength};
    QVariantMap map;
    for (std::size_t i = 0; i < std::size(kKeys); ++i)
        map.insert(QLatin1String(kKeys[i]), values[i]);
    if (withTurret) {
        const QVariant turret[] = {nosepieceSlot, af, delta, isNosepiece};
        for (std::size_t i = 0; i < std::size(kTurretKeys); ++i)
            map.insert(QLatin1String(kTurretKeys[i]), turret[i]);
    }
    return map;
}

CalibrateData CalibrateData::fromMap(const QVariantMap &map)
{
    CalibrateData d;
    d.name = map.value(QStringLiteral("name")).toString();
    d.magnification = map.value(QStringLiteral("magnification")).toString();
    d.length = map.value(QStringLiteral("length")).toDouble();
    d.unit = map.value(QStringLiteral("unit")).toString();
    d.real = map.value(QStringLiteral("real")).toDouble();
    d.pixel = map.value(QStringLiteral("pixel")).toDouble();
    d.resolution = map.value(QStringLiteral("resolution")).toString();
    const QColor colour = map.value(QStringLiteral("scaleColor")).value<QColor>();
    if (colour.isValid())
        d.scaleColor = colour;
    d.scaleLineWidth = map.value(QStringLiteral("scaleLineWidth"), d.scaleLineWidth).toInt();
    d.scaleTextSize = map.value(QStringLiteral("scaleTextSize"), d.scaleTextSize).toInt();
    d.scaleCurrentLength = map.value(QStringLiteral("scaleCurrentLength")).toString();
    d.nosepieceSlot = map.value(QStringLiteral("nosepieceSlot"), d.nosepieceSlot).toInt();
    d.af = map.value(QStringLiteral("af")).toInt();
    d.delta = map.value(QStringLiteral("delta")).toInt();
    d.isNosepiece = map.value(QStringLiteral("isNosepiece")).toBool();
    return d;
}

UnitConverter CalibrateData::converter(int streamWidth) const
{
    UnitConverter converter;
    converter.micrometresPerPixel = real;
    converter.calibrationUnit = unit;
    converter.resolutionFactor = resolutionFactor(streamWidth, resolution);
    return converter;
}

double CalibrateData::micrometresPerPixel(int width) const
{
    const UnitConverter pixels = converter(width);
    if (pixels.unitText(Unit::Micrometre) != UnitConverter::unitName(Unit::Micrometre))
        return 0;
    return pixels.toUnit(1, Unit::Micrometre, false);
}

double CalibrateData::resolutionFactor(int streamWidth, const QString &resolution)
{
    const int width = widthOf(resolution);
    return streamWidth > 0 && width > 0 ? double(streamWidth) / width : 1.0;
}

double ScaleLength::byDefault(const UnitConverter &converter, int unit, double sceneWidth)
{
    if (converter.unitText(unit) == UnitConverter::unitName(Unit::Pixel))
        return std::round(sceneWidth / 4 / converter.scale) * converter.scale;
    const double length = converter.toUnit(DefaultScalePixels, unit, false);
    if (!(length > 0) || !std::isfinite(length))
        return 0;
    const double step = std::pow(10.0, std::floor(std::log10(length)) - 1);
    return std::round(length / step) * step;
}

double ScaleLength::forCalibration(const CalibrateData &data, const UnitConverter &converter, int unit,
                                   double sceneWidth)
{
    double length = 0;
    QString chosenUnit;
    if (ScaleLength::parse(data.scaleCurrentLength, length, chosenUnit) && length > 0 &&
        converter.unitText(unit) == UnitConverter::unitName(unit)) {
        const double from = UnitConverter::micrometres(UnitConverter::unitCode(chosenUnit));
        const double to = UnitConverter::micrometres(unit);
        if (from > 0 && to > 0)
            return length * from / to;
    }
    return byDefault(converter, unit, sceneWidth);
}

QString ScaleLength::text(double length)
{
    if (!(length > 0) || !std::isfinite(length))
        return QStringLiteral("0");
    const int decimals = qBound(0, 1 - int(std::floor(std::log10(length))), 15);
    QString text = QString::number(length, 'f', decimals);
    // Only zeros after a point go: 1500 keeps its zeros.
    if (text.contains(QLatin1Char('.')))
        text.remove(QRegularExpression(QStringLiteral("(\\.){0,1}0+$")));
    return text;
}

bool ScaleLength::parse(const QString &text, double &length, QString &unit)
{
    static const QRegularExpression re(QStringLiteral("^\\s*([0-9]*\\.?[0-9]+(?:[eE][-+]?[0-9]+)?)\\s*(.*)$"));
    const QRegularExpressionMatch match = re.match(text);
    if (!match.hasMatch())
        return false;
    length = match.captured(1).toDouble();
    unit = match.captured(2).trimmed();
    return std::isfinite(length);
}

bool ScaleLength::check(const QString &text, double pixelsPerUnit, CalibrationMessage *warning)
{
    const QString title = QCoreApplication::translate("CalibrationPropertySetDialog", "Warning");
    bool ok = false;
    const double length = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(length)) {
        if (warning)
            *warning = {title, QCoreApplication::translate("CalibrationPropertySetDialog",
                                                           "The scale length is abnormal or empty!")};
        return false;
    }
    const double pixels = length * pixelsPerUnit;
    if (pixels >= MinScalePixels && pixels <= MaxScalePixels)
        return true;
    if (warning)
        *warning = {title, QCoreApplication::translate("CalibrationPropertySetDialog",
                                                       "Please enter a value greater than %1 and less than %2!")
                               .arg(MinScalePixels / pixelsPerUnit, 0, 'g', 6)
                               .arg(MaxScalePixels / pixelsPerUnit, 0, 'g', 6)};
    return false;
}

CalibrationStore::CalibrationStore(ConfigStore &store) : m_store(store) {}

QList<CalibrateData> CalibrationStore::calibrations() const
{
    return records(m_store.readCalibrations(ConfigGroup::Calibrate));
}

QList<CalibrateData> CalibrationStore::nosepieceCalibrations() const
{
    return records(m_store.readCalibrations(ConfigGroup::NosepieceCalibrate));
}

bool CalibrationStore::append(const CalibrateData &data)
{
    QList<QVariantMap> list = m_store.readCalibrations(ConfigGroup::Calibrate);
    list << data.toMap(false);
    return m_store.writeCalibrations(ConfigGroup::Calibrate, list);
}

bool CalibrationStore::replace(int index, const CalibrateData &data)
{
    QList<QVariantMap> list = m_store.readCalibrations(ConfigGroup::Calibrate);
    if (index < 0 || index >= list.size())
        return false;
    list[index] = data.toMap(false);
    return m_store.writeCalibrations(ConfigGroup::Calibrate, list);
}

bool CalibrationStore::remove(int index)
{
    QList<QVariantMap> list = m_store.readCalibrations(ConfigGroup::Calibrate);
    if (index < 0 || index >= list.size())
        return false;
    list.removeAt(index);
    return m_store.writeCalibrations(ConfigGroup::Calibrate, list);
}

CalibrateData CalibrationStore::defaultCalibration() const
{
    CalibrateData data;
    data.name = tr("default");
    data.unit = UnitConverter::unitName(Unit::Pixel);
    data.length = data.real = data.pixel = 1;
    data.resolution = QStringLiteral("1920x1080");
    data.scaleCurrentLength = ScaleLength::text(DefaultScalePixels) + data.unit;
    const QColor colour = m_store.value(ConfigGroup::Settings, SettingsKey::MeasureScaleColor).value<QColor>();
    if (colour.isValid())
        data.scaleColor = colour;
    data.scaleLineWidth =
        m_store.value(ConfigGroup::Settings, SettingsKey::MeasureScaleLineWidth, data.scaleLineWidth).toInt();
    data.scaleTextSize =
        m_store.value(ConfigGroup::Settings, SettingsKey::MeasureScaleFontSize, data.scaleTextSize).toInt();
    return data;
}

void CalibrationStore::storeDefault(const CalibrateData &data)
{
    m_store.write(ConfigGroup::Settings, SettingsKey::MeasureScaleColor, data.scaleColor);
    m_store.write(ConfigGroup::Settings, SettingsKey::MeasureScaleLineWidth, data.scaleLineWidth);
    m_store.write(ConfigGroup::Settings, SettingsKey::MeasureScaleFontSize, data.scaleTextSize);
}

bool CalibrationStore::storeNosepiece(const CalibrateData &data)
{
    QList<CalibrateData> list = nosepieceCalibrations();
    auto same = std::find_if(list.begin(), list.end(),
                             [&](const CalibrateData &d) { return d.nosepieceSlot == data.nosepieceSlot; });
    if (same != list.end())
        *same = data;
    else
        list << data;
    return m_store.writeCalibrations(ConfigGroup::NosepieceCalibrate, maps(list, true));
}

bool CalibrationStore::exists(const CalibrateData &data) const
{
    const QList<CalibrateData> list = calibrations();
    return std::any_of(list.cbegin(), list.cend(), [&](const CalibrateData &d) {
        return d.name == data.name && d.length == data.length && d.unit == data.unit &&
               d.magnification == data.magnification;
    });
}

QString CalibrationStore::withSuffix(const QString &path)
{
    return path.endsWith(QLatin1String(".cal"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".cal");
}

bool CalibrationStore::exportFile(const QString &path, const QList<CalibrateData> &records, CalibrationMessage &outcome)
{
    QString error;
    if (AtomicFile::write(path, CalibrationFile::encode(records), &error)) {
        outcome = {tr("Export Successful"), tr("Calibration data has been successfully exported.")};
        return true;
    }
    qWarning().noquote() << "Unable to open file for writing" << path << error;
    outcome = {tr("Export Failure"), tr("Failed to export calibration data.")};
    return false;
}

bool CalibrationStore::importFile(const QString &path, const OverwriteQuestion &overwrite,
                                  QList<CalibrationMessage> &messages)
{
    const CalibrationMessage failed{tr("Import Failure"),
                                    tr("Failed to import calibration data or the data is empty.")};
    // A calibration file is a few hundred bytes a record; anything far larger is not one.
    constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "Unable to open file for reading" << path << file.errorString();
        messages << failed;
        return false;
    }
    if (file.size() > MaxFileBytes) {
        messages << CalibrationMessage{failed.title, tr("The file is too large to be a calibration file.")} << failed;
        return false;
    }
    QList<CalibrateData> imported;
    QString error;
    if (!CalibrationFile::decode(file.read(MaxFileBytes), imported, error)) {
        messages << CalibrationMessage{failed.title, error} << failed;
        return false;
    }
    if (imported.isEmpty()) {
        messages << failed;
        return false;
    }

    bool allStored = true;
    for (const CalibrateData &record : qAsConst(imported)) {
        const QList<CalibrateData> stored = calibrations();
        const auto named = [&](const QString &name) {
            return std::find_if(stored.cbegin(), stored.cend(), [&](const CalibrateData &d) { return d.name == name; });
        };
        const auto same = named(record.name);
        if (same == stored.cend()) {
            if (!append(record)) {
                messages << CalibrationMessage{tr("Add Failed"),
                                               tr("Failed to add calibration data '%1'.").arg(record.name)};
                allStored = false;
            }
            continue;
        }
        if (same->sameExchanged(record))
            continue;
        const CalibrationMessage question{
            tr("Data Conflict"),
            tr("The calibration data '%1' already exists but has different properties. Do you want to overwrite it?")
                .arg(record.name)};
        if (overwrite(question)) {
            CalibrateData replacement = record;
            if (!replace(int(same - stored.cbegin()), replacement)) {
                messages << CalibrationMessage{tr("Overwrite Failed"),
                                               tr("Failed to overwrite calibration data '%1'.").arg(record.name)};
                allStored = false;
            }
            continue;
        }
        CalibrateData renamed = record;
        for (int counter = 1; named(renamed.name) != stored.cend(); ++counter)
            renamed.name = QStringLiteral("%1(%2)").arg(record.name).arg(counter);
        if (!append(renamed)) {
            messages << CalibrationMessage{tr("Add Failed"),
                                           tr("Failed to add calibration data '%1'.").arg(renamed.name)};
            allStored = false;
        }
    }
    messages << (allStored ? CalibrationMessage{tr("Import Completed"),
                                                tr("Calibration data has been successfully processed.")}
                           : failed);
    return allStored;
}

namespace {

// Reads the fields of one file front to back; every read checks the bytes left first.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_data(bytes.constData()), m_left(bytes.size()) {}
    qint64 left() const { return m_left; }

    bool int32(qint32 &value)
    {
        if (m_left < 4)
            return false;
        value = qFromLittleEndian<qint32>(take(4));
        return true;
    }
    bool float64(double &value)
    {
        if (m_left < 8)
            return false;
        const quint64 bits = qFromLittleEndian<quint64>(take(8));
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }
    // False when the count is negative or runs past the end.
    bool string(QString &value)
    {
        qint32 size = 0;
        if (!int32(size) || size < 0 || size > m_left)
            return false;
        value = QString::fromUtf8(take(size), size);
        return true;
    }
    bool bytes(uchar *out, int count)
    {
        if (m_left < count)
            return false;
        std::memcpy(out, take(count), std::size_t(count));
        return true;
    }

private:
    const char *take(qint64 count)
    {
        const char *at = m_data;
        m_data += count;
        m_left -= count;
        return at;
    }

    const char *m_data;
    qint64 m_left;
};

// The smallest record: five empty strings, three numbers, the colour and two integers.
constexpr qint64 MinRecordBytes = 5 * 4 + 3 * 8 + 4 + 2 * 4;
// Far beyond what the styling boxes offer; larger ones would only make the painter crawl.
constexpr int MaxLineWidth = 100;
constexpr int MaxTextSize = 500;

QString damaged(int record, const char *field)
{
    return QCoreApplication::translate("CalibrationStore",
                                       "The calibration file is damaged: record %1 has no sound %2.")
        .arg(record)
        .arg(QLatin1String(field));
}

} // namespace

QByteArray CalibrationFile::encode(const QList<CalibrateData> &records)
{
    QByteArray bytes;
    const auto int32 = [&](qint32 value) {
        const qint32 le = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char *>(&le), 4);
    };
    const auto float64 = [&](double value) {
        quint64 bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        const quint64 le = qToLittleEndian(bits);
        bytes.append(reinterpret_cast<const char *>(&le), 8);
    };
    const auto string = [&](const QString &value) {
        const QByteArray utf8 = value.toUtf8();
        int32(utf8.size());
        bytes.append(utf8);
    };
    int32(1);
    int32(records.size());
    int32(1);
    for (const CalibrateData &r : records) {
        string(r.name);
        string(r.magnification);
        float64(r.length);
        string(r.unit);
        float64(r.real);
        float64(r.pixel);
        string(r.resolution);
        const QColor c = r.scaleColor.toRgb();
        bytes.append(char(c.red())).append(char(c.green())).append(char(c.blue())).append(char(c.alpha()));
        int32(r.scaleLineWidth);
        int32(r.scaleTextSize);
        string(r.scaleCurrentLength);
    }
    return bytes;
}

bool CalibrationFile::decode(const QByteArray &bytes, QList<CalibrateData> &records, QString &error)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("CalibrationStore", text); };
    Reader in(bytes);
    qint32 version = 0;
    qint32 count = 0;
    qint32 type = 0;
    if (!in.int32(version) || !in.int32(count) || !in.int32(type)) {
        error = tr("The file is too short to be a calibration file.");
        return false;
    }
    if (version != 1) {
        error = tr("Version check failed");
        return false;
    }
    if (type != 1) {
        error = tr("DataType check failed");
        return false;
    }
    // Checked before anything is allocated for the records.
    if (count < 0 || count > in.left() / MinRecordBytes) {
        error = tr("The calibration file claims %1 records, more than it holds.").arg(count);
        return false;
    }
    QList<CalibrateData> read;
    read.reserve(count);
    for (int i = 1; i <= count; ++i) {
        CalibrateData r;
        uchar rgba[4] = {};
        const char *bad = !in.string(r.name) || r.name.isEmpty()                           ? "name"
                          : !in.string(r.magnification)                                    ? "magnification"
                          : !in.float64(r.length) || !std::isfinite(r.length)              ? "length"
                          : !in.string(r.unit)                                             ? "unit"
                          : !in.float64(r.real) || !std::isfinite(r.real) || r.real < 0    ? "micrometres per pixel"
                          : !in.float64(r.pixel) || !std::isfinite(r.pixel) || r.pixel < 0 ? "pixel length"
                          : !in.string(r.resolution)                                       ? "resolution"
                          : !in.bytes(rgba, 4)                                             ? "scale colour"
                          : !in.int32(r.scaleLineWidth) || r.scaleLineWidth < 1 || r.scaleLineWidth > MaxLineWidth
                              ? "scale line width"
                          : !in.int32(r.scaleTextSize) || r.scaleTextSize < 1 || r.scaleTextSize > MaxTextSize
                              ? "scale text size"
                          : !in.string(r.scaleCurrentLength) ? "scale length"
                                                             : nullptr;
        if (bad) {
            error = damaged(i, bad);
            return false;
        }
        r.scaleColor = QColor(rgba[0], rgba[1], rgba[2], rgba[3]);
        read << r;
    }
    if (in.left() > 0) {
        error = tr("The calibration file has %1 bytes after its last record.").arg(in.left());
        return false;
    }
    records = read;
    return true;
}
