#pragma once

#include "cameradefaultrow.h"
#include "camerainfo.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <optional>

struct CameraParameter;

// The camera parameter database: the `camera` table of "setting.db", one row per physical
// camera, keyed by a text derived from the device's unique name. Use it from the thread that
// opened it: Qt's SQL connections are bound to that thread.
class CameraDatabase
{
public:
    // `folder` holds "setting.db"; empty means the program's data folder.
    explicit CameraDatabase(const QString &folder = QString());
    ~CameraDatabase();
    CameraDatabase(const CameraDatabase &) = delete;
    CameraDatabase &operator=(const CameraDatabase &) = delete;

    // Opens the file, creating it and the `camera` table when missing. False when the file
    // cannot be opened or is not a usable database.
    bool open();
    void close();
    bool isOpen() const;
    QString filePath() const;

    // What the operator is shown when open() fails.
    static QString openFailedMessage();
    // A device's row is keyed by its whole unique name (column pid): any cut would let two devices
    // share a row. legacyKey is the key older versions stored for a USB device (the part from
    // "usb" on, without the last 7 characters); empty where the name was stored whole.
    static QString legacyKey(const QString &uniqueName);
    // The parameter columns in table order (id and pid excluded): the only names saveValue accepts.
    static QStringList parameterColumns();

    // Inserts `row` for `key` unless a row with that key exists. True when a row exists afterwards.
    bool seedIfMissing(const QString &key, const CameraDefaultRow &row);
    // The row whose pid is `key`, every column by name.
    std::optional<QVariantMap> findRow(const QString &key);

    // Puts the device's row over `info` as read from the device, seeding `row` first when the
    // device is new: the row never offers what the device lacks. Does
    // nothing (and returns false) for an empty name, a row without resolution (a model with no
    // defaults) or while `info` has no formats.
    bool loadDefaultParameters(const QString &uniqueName, const CameraDefaultRow &row, CameraInfo &info);
    // Whether a row loaded into `info` gave the parameter its value: by its load rule, the
    // mode or motor that rule asks for, and unless the row or the device left it out.
    static bool rowHolds(const CameraParameter &p, const CameraInfo &info);
    // Stores one parameter of the device; `column` must be one of parameterColumns().
    bool saveValue(const QString &uniqueName, const QString &column, const QVariant &value);

    // A model's default-row statement as text, "%1" standing for the device's key; the
    // database itself inserts rows with bound values.
    static QString defaultRowStatement(const CameraDefaultRow &row);

private:
    QString createTable(); // the driver's error text, empty on success
    // The device's row: the one under its key, else one an older version stored under its
    // legacy key, which is then moved to its key so that no other device finds it.
    std::optional<QVariantMap> deviceRow(const QString &uniqueName);

    QString m_folder;
    QString m_connection;
};
