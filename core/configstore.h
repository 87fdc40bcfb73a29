#pragma once

#include "configkeys.h"
#include "drawproperty.h"

#include <QImage>
#include <QJsonObject>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <array>
#include <functional>
#include <memory>

class QSettings;

// The process-wide settings store: option groups in INI files addressed by group and key
// index, per-camera parameter sets and configuration schemes in two JSON files, and the
// flat-field reference file format. Groups are read lazily into caches and written only on
// change. Every member may be called from any thread.
class ConfigStore : public QObject
{
    Q_OBJECT

public:
    // The store over AppPaths::dataDir() and AppPaths::programDir(), created on first use.
    static ConfigStore &instance();

    // A store over the given folders; the program uses instance(), tests and tools may
    // build their own. Writes the start-up defaults (see configDefaults()).
    ConfigStore(const QString &dataDir, const QString &programDir);
    ~ConfigStore() override;
    ConfigStore(const ConfigStore &) = delete;
    ConfigStore &operator=(const ConfigStore &) = delete;

    // The stored keys of a group (key index -> value), plus the "draw" defaults. Keys that
    // are absent stay absent: ask the map with your own fallback. INI values come back in
    // Qt's INI encoding: numbers and booleans as strings (use toInt()/toBool()), colours and
    // maps with their own types.
    QMap<int, QVariant> read(ConfigGroup group);
    QVariant value(ConfigGroup group, int key, const QVariant &fallback = QVariant());
    QVariant value(DrawProperty property, const QVariant &fallback = QVariant());

    // Stores one key; a value equal to the current one (a "draw" default included) does not
    // touch the file, and an invalid QVariant removes the key. Writing "SceneMode" makes the
    // next DisplayOptions read load the other mode's group.
    void write(ConfigGroup group, int key, const QVariant &value);
    void write(DrawProperty property, const QVariant &value);

    // Single-key groups.
    QVariantMap readCommonTool();
    void writeCommonTool(const QVariantMap &tools);
    QString readCurConfigurationName();
    void writeCurConfigurationName(const QString &name);

    // Objective turret: the number of positions and lens index -> magnification.
    int readNosepieceCount();
    QMap<int, int> readNosepiece();
    void writeNosepiece(int count, const QMap<int, int> &magnifications);

    // The calibration lists of calibration.ini (ConfigGroup::Calibrate or NosepieceCalibrate):
    // one map of key text -> value per record, in stored order. Writing replaces the whole list;
    // false when the file could not take it (the list then reads back as the file holds it).
    QList<QVariantMap> readCalibrations(ConfigGroup list);
    bool writeCalibrations(ConfigGroup list, const QList<QVariantMap> &records);

    // The installer-provided "UserInfo" group (read only).
    QMap<int, QVariant> readUserInfo();

    QString dataDir() const { return m_dataDir; }
    QString configIniPath() const { return m_configIniPath; }
    QString calibrationIniPath() const { return m_calibrationIniPath; }
    QString crossIniPath() const { return m_crossIniPath; }
    QString userInfoIniPath() const { return m_userInfoIniPath; }
    QString cameraConfigurationPath() const { return m_cameraConfigurationPath; }
    QString configurationSchemePath() const { return m_configurationSchemePath; }

    // The stored parameter object of one camera; empty on any failure.
    QJsonObject readCameraConfiguration(const QString &cameraName);
    // Replaces one camera's parameter object, keeping every other camera's. Refuses an empty
    // name or object, and refuses to replace a file it cannot parse.
    bool saveCameraConfiguration(const QString &cameraName, const QJsonObject &configuration);

    // Configuration schemes: named sets of numeric camera parameters per camera key. A missing
    // or unreadable file reads as no schemes; a file that cannot be parsed is never overwritten.
    bool saveConfigurationScheme(const QString &cameraKey, const QString &schemeName, const QVariantMap &parameters);
    bool saveConfigurationScheme(const QString &cameraKey, const QString &schemeName, const QJsonObject &parameters);
    QMap<QString, QVariantMap> readConfigurationSchemes(const QString &cameraKey); // keys: names in order
    QStringList configurationSchemeNames(const QString &cameraKey);
    QVariantMap readConfigurationScheme(const QString &cameraKey, const QString &schemeName);
    bool renameConfigurationScheme(const QString &cameraKey, const QString &oldName, const QString &newName);
    bool deleteConfigurationScheme(const QString &cameraKey, const QString &schemeName);

    // Flat-field reference frames (".ffc"): see FlatFieldFile.
    static bool saveFFCAverageFrameToFile(const QImage &frame, const QString &path);
    static QImage readFFCAverageFrameFromFile(const QString &path);

signals:
    // A file of the store could not be written and keeps its previous content. Emitted once
    // until a later write of the same file succeeds, from the thread that wrote.
    void saveFailed(const QString &path, const QString &reason);

private:
    struct NosepieceCache
    {
        bool loaded = false;
        int count = 0;
        QMap<int, int> magnifications;
    };

    struct CalibrationCache
    {
        bool loaded = false;
        QList<QVariantMap> records;
    };

    std::unique_ptr<QSettings> openIni(ConfigFile file) const;
    ConfigGroup resolve(ConfigGroup group); // DisplayOptions -> the current mode's group
    QMap<int, QVariant> readLocked(ConfigGroup group);
    void writeDefaults(ConfigGroup group);
    void loadNosepieceLocked();
    CalibrationCache *calibrationCache(ConfigGroup list); // null for any other group
    // Applies one edit to a camera's schemes and writes the file back. The edit returns false
    // (after logging why) to leave the file alone.
    bool editSchemes(const char *operation, const QString &cameraKey,
                     const std::function<bool(QJsonObject &camera)> &edit);
    // Call without holding m_mutex or m_jsonMutex: a receiver may read the store. An empty
    // `error` records a successful write.
    void reportSave(const QString &path, const QString &error);

    QString m_dataDir;
    QString m_programDir;
    QString m_configIniPath;
    QString m_calibrationIniPath;
    QString m_crossIniPath;
    QString m_userInfoIniPath;
    QString m_cameraConfigurationPath;
    QString m_configurationSchemePath;

    QMutex m_mutex; // guards the caches and the INI files
    std::array<QMap<int, QVariant>, ConfigGroupCount> m_cache;
    std::array<bool, ConfigGroupCount> m_loaded{};
    NosepieceCache m_nosepiece;
    std::array<CalibrationCache, 2> m_calibrations; // Calibrate, NosepieceCalibrate

    QMutex m_jsonMutex; // serialises read-modify-write of the JSON files

    QMutex m_failedMutex;
    QSet<QString> m_failed; // files whose last write failed
};
