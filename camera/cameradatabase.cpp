#include "cameradatabase.h"

#include "cameraparameters.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <algorithm>
#include <atomic>
#include <iterator>

namespace {

const char *const kFileName = "setting.db";
const char *const kDriver = "QSQLITE";
const char *const kInt = "INTEGER(40) NOT NULL";
const char *const kText = "VARCHAR(20) NOT NULL";

// One column of the `camera` table and the field of the default row that seeds it (none for id and pid).
struct Column
{
    const char *name;
    const char *type;
    int CameraDefaultRow::*number;
    const char *CameraDefaultRow::*text;
};

const Column kColumns[] = {
    {"id", "INTEGER PRIMARY KEY AUTOINCREMENT", nullptr, nullptr},
    {"pid", "VARCHAR(100) NOT NULL", nullptr, nullptr},
    {"isnv12", "INTEGER NOT NULL", &CameraDefaultRow::isnv12, nullptr},
    {"decodeWay", kInt, &CameraDefaultRow::decodeWay, nullptr},
    {"exposureMode", kInt, &CameraDefaultRow::exposureMode, nullptr},
    {"exposureGain", kInt, &CameraDefaultRow::exposureGain, nullptr},
    {"exposureCompensation", kInt, &CameraDefaultRow::exposureCompensation, nullptr},
    {"exposureTime", kInt, &CameraDefaultRow::exposureTime, nullptr},
    {"Zoom", kInt, &CameraDefaultRow::zoom, nullptr},
    {"whiteBalanceMode", kInt, &CameraDefaultRow::whiteBalanceMode, nullptr},
    {"whiteBalanceR", kInt, &CameraDefaultRow::whiteBalanceR, nullptr},
    {"whiteBalanceG", kInt, &CameraDefaultRow::whiteBalanceG, nullptr},
    {"whiteBalanceB", kInt, &CameraDefaultRow::whiteBalanceB, nullptr},
    {"hueValue", kInt, &CameraDefaultRow::hueValue, nullptr},
    {"saturationValue", kInt, &CameraDefaultRow::saturationValue, nullptr},
    {"contrastValue", kInt, &CameraDefaultRow::contrastValue, nullptr},
    {"sharpnessValue", kInt, &CameraDefaultRow::sharpnessValue, nullptr},
    {"flip", kInt, &CameraDefaultRow::flip, nullptr},
    {"mirror", kInt, &CameraDefaultRow::mirror, nullptr},
    {"focusMode", kInt, &CameraDefaultRow::focusMode, nullptr},
    {"focusValue", kInt, &CameraDefaultRow::focusValue, nullptr},
    {"HDRValue", kInt, &CameraDefaultRow::hdrValue, nullptr},
    {"defogMode", kInt, &CameraDefaultRow::defogMode, nullptr},
    {"frameMode", kInt, &CameraDefaultRow::frameMode, nullptr},
    {"resolution", kText, nullptr, &CameraDefaultRow::resolution},
    {"fps", kInt, &CameraDefaultRow::fps, nullptr},
    {"bitrate", kInt, &CameraDefaultRow::bitrate, nullptr},
    {"pictureResolution", kText, nullptr, &CameraDefaultRow::pictureResolution},
};
const int kFirstParameter = 2; // after id and pid

// Network cameras ask for at least this bit rate; older rows hold a placeholder below it.
const int kMinBitRate = 10000;
const int kWbGainMax = 255;
const int kUnsupported = -1;
// Stored modes: 1 is automatic, anything else manual.
const int kAutomatic = 1;
const int kManual = 2;
static_assert(kAutomatic == ExposureAuto && kAutomatic == WbAuto && kManual == ExposureManual && kManual == WbManual,
              "modes load as the program's own values");

bool isGated(CameraParameter::Stored stored)
{
    switch (stored) {
    case CameraParameter::WbGain:
    case CameraParameter::WhileAutoExposure:
    case CameraParameter::WhileManualExposure:
    case CameraParameter::WhileFocus:
        return true;
    default:
        return false;
    }
}

// One parameter's stored number into the information read from the device; a gated one after
// the others.
void readStored(const CameraParameter &p, int stored, CameraInfo &info)
{
    switch (p.stored) {
    case CameraParameter::ValueOrMissing:
    case CameraParameter::WhileAutoExposure:
    case CameraParameter::WhileManualExposure: {
        // Without ranges from the device the row says which parameters the model has. A model
        // without the exposure mode has no exposure controls at all.
        bool &supported = (info.*p.field.range).supported;
        supported = (supported || !info.rangesFromDevice) && stored != kUnsupported &&
                    (p.stored == CameraParameter::ValueOrMissing || info.expModeSupported);
        break;
    }
    case CameraParameter::Presence:
        if (stored == kUnsupported)
            (info.*p.field.range).supported = false;
        break;
    case CameraParameter::Mode:
        if (stored == kUnsupported)
            info.*p.field.supported = false;
        break;
    case CameraParameter::WbGain:
        // Without ranges from the device the gains top out at 255.
        if (!info.rangesFromDevice)
            (info.*p.field.range).max = kWbGainMax;
        break;
    default:
        break;
    }
    if (CameraDatabase::rowHolds(p, info))
        p.field.set(info, p.stored != CameraParameter::Mode ? stored : stored == kAutomatic ? kAutomatic : kManual);
}

// Finds the "WxH" text among the offered resolutions of one format.
bool findResolution(const QVector<CameraResolution> &list, const QString &text, CameraResolution &out)
{
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okWidth = false;
    bool okHeight = false;
    const int width = parts.size() == 2 ? parts.at(0).toInt(&okWidth) : 0;
    const int height = parts.size() == 2 ? parts.at(1).toInt(&okHeight) : 0;
    if (!okWidth || !okHeight)
        return false;
    const auto it = std::find_if(list.cbegin(), list.cend(),
                                 [&](const CameraResolution &r) { return r.width == width && r.height == height; });
    if (it == list.cend())
        return false;
    out = *it;
    return true;
}

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("lumora-camera-db-%1").arg(counter.fetch_add(1));
}

} // namespace

CameraDatabase::CameraDatabase(const QString &folder)
    : m_folder(folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : folder)
    , m_connection(nextConnectionName())
{}

CameraDatabase::~CameraDatabase()
{
    close();
}

QString CameraDatabase::filePath() const
{
    return QDir(m_folder).filePath(QLatin1String(kFileName));
}

QString CameraDatabase::openFailedMessage()
{
    return QStringLiteral("Open Fail ?");
}

bool CameraDatabase::open()
{
    if (isOpen())
        return true;
    if (!QDir().mkpath(m_folder)) {
        qWarning().noquote() << "Can not create the data folder " + m_folder;
        return false;
    }
    const QString path = filePath();
    const bool created = !QFileInfo::exists(path);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QLatin1String(kDriver), m_connection);
        db.setDatabaseName(path);
        if (!db.open())
            error = db.lastError().text();
    }
    // Also run for an existing file: it fails on a file that is not a database, and restores
    // a table lost from an otherwise empty file.
    if (error.isEmpty())
        error = createTable();
    if (!error.isEmpty()) {
        qWarning().noquote() << QStringLiteral("Camera database %1 cannot be opened: %2").arg(path, error);
        close();
        return false;
    }
    if (created)
        qInfo().noquote() << "Created camera database " + path;
    return true;
}

void CameraDatabase::close()
{
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool CameraDatabase::isOpen() const
{
    return QSqlDatabase::contains(m_connection) && QSqlDatabase::database(m_connection, false).isOpen();
}

QString CameraDatabase::createTable()
{
    QStringList definitions;
    for (const Column &column : kColumns)
        definitions << QStringLiteral("%1 %2").arg(QLatin1String(column.name), QLatin1String(column.type));
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.exec(
            QStringLiteral("CREATE TABLE IF NOT EXISTS camera (%1)").arg(definitions.join(QLatin1String(", ")))))
        return query.lastError().text();
    return QString();
}

QString CameraDatabase::legacyKey(const QString &uniqueName)
{
    // Network names were always stored whole.
    if (uniqueName.contains(QLatin1String("IPC")) || !uniqueName.contains(QLatin1String("usb")))
        return QString();
    const QString stem = uniqueName.left(std::max(0, int(uniqueName.size()) - 7));
    return stem.mid(stem.indexOf(QLatin1String("usb")));
}

QStringList CameraDatabase::parameterColumns()
{
    QStringList names;
    for (int i = kFirstParameter; i < int(std::size(kColumns)); ++i)
        names << QLatin1String(kColumns[i].name);
    return names;
}

std::optional<QVariantMap> CameraDatabase::findRow(const QString &key)
{
    if (key.isEmpty() || !isOpen())
        return std::nullopt;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("SELECT * FROM camera WHERE pid = ? ORDER BY id LIMIT 1"));
    query.addBindValue(key);
    if (!query.exec()) {
        qWarning().noquote() << "Select camera row failed: " + query.lastError().text();
        return std::nullopt;
    }
    if (!query.next())
        return std::nullopt;
    const QSqlRecord record = query.record();
    QVariantMap row;
    for (int i = 0; i < record.count(); ++i)
        row.insert(record.fieldName(i), record.value(i));
    return row;
}

std::optional<QVariantMap> CameraDatabase::deviceRow(const QString &uniqueName)
{
    const QString &key = uniqueName;
    std::optional<QVariantMap> row = findRow(key);
    const QString legacy = legacyKey(uniqueName);
    if (row || legacy.isEmpty())
        return row;
    // Devices whose names differ only in the cut part shared that row; the first one seen
    // after the update keeps it, the others start from their model's defaults.
    row = findRow(legacy);
    if (!row)
        return row;
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("UPDATE camera SET pid=? WHERE id=?"));
    query.addBindValue(key);
    query.addBindValue(row->value(QStringLiteral("id")));
    if (query.exec()) {
        row->insert(QStringLiteral("pid"), key);
        qInfo().noquote() << QStringLiteral("Camera row of %1 now keyed %2").arg(legacy, key);
    } else {
        qWarning().noquote() << "Rekey camera row failed: " + query.lastError().text();
    }
    return row;
}

bool CameraDatabase::seedIfMissing(const QString &key, const CameraDefaultRow &row)
{
    if (key.isEmpty() || !isOpen())
        return false;
    if (findRow(key))
        return true;
    QStringList names;
    QStringList marks;
    for (int i = 1; i < int(std::size(kColumns)); ++i) {
        names << QLatin1String(kColumns[i].name);
        marks << QStringLiteral("?");
    }
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral("INSERT INTO camera (%1) VALUES (%2)")
                      .arg(names.join(QLatin1String(", ")), marks.join(QLatin1String(", "))));
    query.addBindValue(key);
    for (int i = kFirstParameter; i < int(std::size(kColumns)); ++i) {
        const Column &column = kColumns[i];
        query.addBindValue(column.number ? QVariant(row.*column.number)
                                         : QVariant(QString::fromLatin1(row.*column.text)));
    }
    if (!query.exec()) {
        qWarning().noquote() << "Insert camera row failed: " + query.lastError().text();
        return false;
    }
    qInfo().noquote() << "Inserted default camera row for " + key;
    return true;
}

bool CameraDatabase::loadDefaultParameters(const QString &uniqueName, const CameraDefaultRow &row, CameraInfo &info)
{
    // A model without defaults (no resolution) has no row to seed.
    if (uniqueName.isEmpty() || !row.resolution || !*row.resolution || info.formats.isEmpty())
        return false;
    std::optional<QVariantMap> found = deviceRow(uniqueName);
    if (!found) {
        if (!seedIfMissing(uniqueName, row))
            return false;
        found = findRow(uniqueName);
    }
    if (!found)
        return false;
    const QVariantMap &r = *found;

    const int format = r.value(QStringLiteral("decodeWay")).toInt();
    if (info.formats.contains(format))
        info.format = format;
    else
        qInfo().noquote() << QStringLiteral("Stored stream format %1 is not offered by ").arg(format) + uniqueName;
    // A size the stored format does not offer (a row of a larger model, or the device's size in
    // another format) would make the stream refuse to start: the format's largest size serves.
    const QVector<CameraResolution> offered = info.resolutions.value(info.format);
    for (const auto &[column, size] : {std::pair{"resolution", &info.current}, {"pictureResolution", &info.photo}}) {
        const QString stored = r.value(QLatin1String(column)).toString();
        if (!findResolution(offered, stored, *size) && !offered.isEmpty() &&
            !findResolution(offered, size->resolution, *size)) {
            qInfo().noquote() << QStringLiteral("Stored %1 %2 is not offered by %3, %4 instead")
                                     .arg(QLatin1String(column), stored, uniqueName, offered.last().resolution);
            *size = offered.last();
        }
    }

    // Two passes: a gated value needs the mode or the presence the first pass reads.
    for (const bool gated : {false, true}) {
        for (const CameraParameter &p : cameraParameters()) {
            if (p.column && isGated(p.stored) == gated)
                readStored(p, r.value(QLatin1String(p.column)).toInt(), info);
        }
    }
    // Monochrome is saturation 0; a focus motor brings its mode and the first region form, centred, switched on.
    info.monochrome = info.saturation.supported && info.saturation.value == 0;
    info.focusModeSupported = info.focusModeSupported && info.focus.supported;
    if (info.focus.supported) {
        info.focusRegionEnable = true;
        info.focusRegionMode = 0;
        info.focusRegionX = 8;
        info.focusRegionY = 7;
    }
    info.frameMode = r.value(QStringLiteral("frameMode")).toInt() != 0;
    info.fps = r.value(QStringLiteral("fps")).toInt();
    info.bitRate = std::max(r.value(QStringLiteral("bitrate")).toInt(), kMinBitRate);
    return true;
}

bool CameraDatabase::rowHolds(const CameraParameter &p, const CameraInfo &info)
{
    const auto offered = [&] { return (info.*p.field.range).supported; };
    switch (p.stored) {
    case CameraParameter::Value:
        return !p.field.supported || info.*p.field.supported;
    case CameraParameter::ValueOrMissing:
        return offered();
    case CameraParameter::Mode:
        return info.*p.field.supported;
    case CameraParameter::WbGain:
        return info.wbModeSupported && info.wbMode == WbManual;
    case CameraParameter::WhileAutoExposure:
        return offered() && info.expMode == ExposureAuto;
    case CameraParameter::WhileManualExposure:
        return offered() && info.expMode == ExposureManual;
    case CameraParameter::WhileFocus:
        return info.focus.supported && info.focusModeSupported;
    case CameraParameter::NotStored:
    case CameraParameter::Presence:
    case CameraParameter::SavedOnly:
        break;
    }
    return false;
}

bool CameraDatabase::saveValue(const QString &uniqueName, const QString &column, const QVariant &value)
{
    const QStringList columns = parameterColumns();
    const int index = columns.indexOf(column);
    if (index < 0) {
        qWarning().noquote() << "saveCameraProperty error. Unknown column " + column;
        return false;
    }
    const std::optional<QVariantMap> found = deviceRow(uniqueName);
    if (!found) {
        qWarning().noquote() << "saveCameraProperty error. Can not find the entry for cur camera " + uniqueName;
        return false;
    }
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    // The column name comes from the fixed list, never from the caller's text.
    query.prepare(QStringLiteral("UPDATE camera SET %1=? WHERE id=?").arg(columns.at(index)));
    query.addBindValue(value);
    query.addBindValue(found->value(QStringLiteral("id")));
    if (!query.exec()) {
        qWarning().noquote() << "saveCameraProperty error. " + query.lastError().text();
        return false;
    }
    return true;
}

QString CameraDatabase::defaultRowStatement(const CameraDefaultRow &row)
{
    QStringList names;
    QStringList values;
    for (const Column &column : kColumns) {
        if (!column.number && !column.text && qstrcmp(column.name, "pid") != 0)
            continue; // the row id is the table's own
        names << QString::fromLatin1(column.name);
        if (column.number)
            values << QString::number(row.*column.number);
        else
            values << QStringLiteral("'%1'").arg(column.text ? QString::fromLatin1(row.*column.text)
                                                             : QStringLiteral("%1"));
    }
    return QStringLiteral("insert into  camera (%1) values (%2)")
        .arg(names.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")));
}
