#include "configstore.h"

#include "apppaths.h"
#include "atomicfile.h"
#include "flatfieldfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QMutexLocker>
#include <QSettings>

namespace {

// Neither JSON file holds more than a few hundred numbers per camera; anything far larger is
// not ours and is not loaded into memory.
constexpr qint64 MaxJsonFileBytes = 64 * 1024 * 1024;
// A turret has a handful of positions; the array size in the INI file is untrusted.
constexpr int MaxNosepieceEntries = 256;
// Likewise for the calibration lists: far more than anyone calibrates.
constexpr int MaxCalibrationEntries = 10000;

const QString allCamerasMember = QStringLiteral("AllCamear");

enum class JsonState { Missing, Ok, Unreadable, Corrupt };

struct JsonFile
{
    JsonState state = JsonState::Missing;
    QJsonObject root;
    QString error;
};

// Loads a JSON file whose top level must be an object. A missing or empty file is Missing
// (nothing stored yet); Unreadable and Corrupt files must not be replaced by a write.
JsonFile loadJsonObject(const QString &path)
{
    JsonFile result;
    QFile file(path);
    if (!file.exists())
        return result;
    if (!file.open(QIODevice::ReadOnly)) {
        result.state = JsonState::Unreadable;
        result.error = file.errorString();
        return result;
    }
    if (file.size() == 0)
        return result;
    if (file.size() > MaxJsonFileBytes) {
        result.state = JsonState::Corrupt;
        result.error = QStringLiteral("file of %1 bytes is too large").arg(file.size());
        return result;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (document.isNull()) {
        result.state = JsonState::Corrupt;
        result.error = parseError.errorString();
        return result;
    }
    if (!document.isObject()) {
        result.state = JsonState::Corrupt;
        result.error = QStringLiteral("the top level is not an object");
        return result;
    }
    result.state = JsonState::Ok;
    result.root = document.object();
    return result;
}

bool writeJson(const QString &path, const QJsonObject &root, QString &error)
{
    return AtomicFile::write(path, QJsonDocument(root).toJson(QJsonDocument::Indented), &error);
}

// QSettings keeps the old file when it cannot write the new one, and says only that much.
QString iniError(const QSettings &ini)
{
    switch (ini.status()) {
    case QSettings::NoError:
        return QString();
    case QSettings::AccessError:
        return QStringLiteral("the file cannot be written");
    case QSettings::FormatError:
        return QStringLiteral("the file is not a valid INI file");
    }
    return QString();
}

// Writes the INI file out; the reason it could not, logged, or empty.
QString syncIni(QSettings &ini)
{
    ini.sync();
    const QString error = iniError(ini);
    if (!error.isEmpty())
        qWarning().noquote() << QStringLiteral("ConfigStore. Could not write %1: %2").arg(ini.fileName(), error);
    return error;
}

void warn(const char *operation, const QString &text)
{
    qWarning().noquote() << QLatin1String(operation) + QLatin1String(". ") + text;
}

// Only numbers belong in a scheme; anything else is dropped with a log line.
QJsonObject numericParameters(const QJsonObject &parameters)
{
    QJsonObject numbers;
    for (auto it = parameters.begin(); it != parameters.end(); ++it) {
        if (it.value().isDouble())
            numbers.insert(it.key(), it.value());
        else
            qWarning().noquote() << "Value for key" << it.key() << "is not a real number and will be ignored.";
    }
    return numbers;
}

} // namespace

ConfigStore &ConfigStore::instance()
{
    static ConfigStore store(AppPaths::dataDir(), AppPaths::programDir());
    return store;
}

ConfigStore::ConfigStore(const QString &dataDir, const QString &programDir)
    : m_dataDir(dataDir)
    , m_programDir(programDir)
    , m_configIniPath(dataDir + QStringLiteral("/config.ini"))
    , m_calibrationIniPath(dataDir + QStringLiteral("/calibration.ini"))
    , m_crossIniPath(dataDir + QStringLiteral("/cross.ini"))
    , m_userInfoIniPath(programDir + QStringLiteral("/customInformation/userInfo.ini"))
    , m_cameraConfigurationPath(dataDir + QStringLiteral("/CameraConfiguration.json"))
    , m_configurationSchemePath(dataDir + QStringLiteral("/ConfigurationScheme.json"))
{
    if (!QDir().mkpath(m_dataDir))
        qWarning().noquote() << "ConfigStore. Could not create the data folder" << m_dataDir;

    QMutexLocker lock(&m_mutex);
    for (ConfigGroup group : {ConfigGroup::Base, ConfigGroup::ControlInterfaceState, ConfigGroup::BiologyDisplayOptions,
                              ConfigGroup::IndustryDisplayOptions})
        writeDefaults(group);
    readLocked(ConfigGroup::Base);
    readLocked(ConfigGroup::DisplayOptions);
}

ConfigStore::~ConfigStore() = default;

std::unique_ptr<QSettings> ConfigStore::openIni(ConfigFile file) const
{
    QString path;
    switch (file) {
    case ConfigFile::Config:
        path = m_configIniPath;
        break;
    case ConfigFile::Calibration:
        path = m_calibrationIniPath;
        break;
    case ConfigFile::UserInfo:
        path = m_userInfoIniPath;
        break;
    }
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    if (file == ConfigFile::UserInfo)
        settings->setIniCodec("UTF-8");
    return settings;
}

// Sets the store defaults of a group for the keys the file does not hold yet.
void ConfigStore::writeDefaults(ConfigGroup group)
{
    const ConfigGroupInfo &info = configGroupInfo(group);
    const QMap<int, QVariant> defaults = configDefaults(group);
    auto ini = openIni(info.file);
    ini->beginGroup(info.name);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
        const QString key = info.keys.value(it.key());
        if (!ini->contains(key))
            ini->setValue(key, it.value());
    }
    ini->endGroup();
    ini->sync();
    if (ini->status() != QSettings::NoError)
        qWarning().noquote() << QStringLiteral("ConfigStore. Could not write the defaults of %1 to %2: %3")
                                    .arg(info.name, ini->fileName(), iniError(*ini));
}

ConfigGroup ConfigStore::resolve(ConfigGroup group)
{
    if (group != ConfigGroup::DisplayOptions)
        return group;
    const int sceneMode = readLocked(ConfigGroup::Camera).value(CameraKey::SceneMode, 0).toInt();
    return sceneMode == 1 ? ConfigGroup::IndustryDisplayOptions : ConfigGroup::BiologyDisplayOptions;
}

QMap<int, QVariant> ConfigStore::readLocked(ConfigGroup group)
{
    group = resolve(group);
    const std::size_t slot = std::size_t(group);
    if (m_loaded[slot])
        return m_cache[slot];

    const ConfigGroupInfo &info = configGroupInfo(group);
    QMap<int, QVariant> values;
    if (!info.keys.isEmpty()) {
        auto ini = openIni(info.file);
        if (ini->status() != QSettings::NoError)
            qWarning().noquote() << "ConfigStore. Could not read" << ini->fileName();
        ini->beginGroup(info.name);
        for (auto it = info.keys.cbegin(); it != info.keys.cend(); ++it) {
            if (ini->contains(it.value()))
                values.insert(it.key(), ini->value(it.value()));
        }
        ini->endGroup();
    }
    if (group == ConfigGroup::Draw) {
        // Stored values (the quick-save folder included) win over the defaults.
        const QMap<int, QVariant> defaults = configDefaults(ConfigGroup::Draw);
        for (auto it = defaults.cbegin(); it != defaults.cend(); ++it) {
            if (!values.contains(it.key()))
                values.insert(it.key(), it.value());
        }
    }
    m_cache[slot] = values;
    m_loaded[slot] = true;
    return values;
}

QMap<int, QVariant> ConfigStore::read(ConfigGroup group)
{
    QMutexLocker lock(&m_mutex);
    return readLocked(group);
}

QVariant ConfigStore::value(ConfigGroup group, int key, const QVariant &fallback)
{
    QMutexLocker lock(&m_mutex);
    return readLocked(group).value(key, fallback);
}

QVariant ConfigStore::value(DrawProperty property, const QVariant &fallback)
{
    return value(ConfigGroup::Draw, int(property), fallback);
}

void ConfigStore::write(ConfigGroup group, int key, const QVariant &value)
{
    QMutexLocker lock(&m_mutex);
    group = resolve(group);
    const ConfigGroupInfo &info = configGroupInfo(group);
    if (info.file == ConfigFile::UserInfo) {
        qWarning().noquote() << "ConfigStore. The group" << info.name << "is read only";
        return;
    }
    const QString text = info.keys.value(key);
    if (text.isEmpty()) {
        qWarning().noquote() << QStringLiteral("ConfigStore. The group %1 has no key %2").arg(info.name).arg(key);
        return;
    }

    readLocked(group);
    const std::size_t slot = std::size_t(group);
    QMap<int, QVariant> &cache = m_cache[slot];
    const auto cached = cache.constFind(key);
    const bool present = cached != cache.cend();
    if (value.isValid() ? (present && cached.value() == value) : !present)
        return;

    if (group == ConfigGroup::Camera && key == CameraKey::SceneMode) {
        for (ConfigGroup options : {ConfigGroup::BiologyDisplayOptions, ConfigGroup::IndustryDisplayOptions}) {
            m_cache[std::size_t(options)].clear();
            m_loaded[std::size_t(options)] = false;
        }
    }
    if (group == ConfigGroup::Nosepiece)
        m_nosepiece.loaded = false;

    auto ini = openIni(info.file);
    ini->beginGroup(info.name);
    if (value.isValid()) {
        // Indices that share one key text (the "settings" aliases) share the value too.
        for (auto it = info.keys.cbegin(); it != info.keys.cend(); ++it) {
            if (it.value() == text)
                cache.insert(it.key(), value);
        }
        ini->setValue(text, value);
    } else {
        // An invalid value removes the key; the next read brings back any store default.
        m_loaded[slot] = false;
        cache.clear();
        ini->remove(text);
    }
    ini->endGroup();
    const QString path = ini->fileName();
    const QString error = syncIni(*ini);
    ini.reset();
    lock.unlock();
    reportSave(path, error);
}

void ConfigStore::write(DrawProperty property, const QVariant &value)
{
    write(ConfigGroup::Draw, int(property), value);
}

QVariantMap ConfigStore::readCommonTool()
{
    return value(ConfigGroup::CommonTool, CommonToolKey::CommonTool).toMap();
}

void ConfigStore::writeCommonTool(const QVariantMap &tools)
{
    write(ConfigGroup::CommonTool, CommonToolKey::CommonTool, tools);
}

QString ConfigStore::readCurConfigurationName()
{
    return value(ConfigGroup::CurConfigurationName, CurConfigurationNameKey::CurConfigurationName).toString();
}

void ConfigStore::writeCurConfigurationName(const QString &name)
{
    write(ConfigGroup::CurConfigurationName, CurConfigurationNameKey::CurConfigurationName, name);
}

void ConfigStore::loadNosepieceLocked()
{
    if (m_nosepiece.loaded)
        return;
    const ConfigGroupInfo &info = configGroupInfo(ConfigGroup::Nosepiece);
    NosepieceCache loaded;
    auto ini = openIni(info.file);
    ini->beginGroup(info.name);
    loaded.count = ini->value(info.keys.value(NosepieceKey::NosepieceCount), 0).toInt();
    int size = ini->beginReadArray(QStringLiteral("nosepieceData"));
    if (size > MaxNosepieceEntries) {
        qWarning().noquote() << "ConfigStore. Ignoring nosepiece entries beyond" << MaxNosepieceEntries << "of" << size;
        size = MaxNosepieceEntries;
    }
    for (int i = 0; i < size; ++i) {
        ini->setArrayIndex(i);
        const QVariant lens = ini->value(QStringLiteral("lensIndex"));
        const QVariant magnification = ini->value(QStringLiteral("magnification"));
        if (lens.isValid() && magnification.isValid())
            loaded.magnifications.insert(lens.toInt(), magnification.toInt());
    }
    ini->endArray();
    ini->endGroup();
    loaded.loaded = true;
    m_nosepiece = loaded;
}

int ConfigStore::readNosepieceCount()
{
    QMutexLocker lock(&m_mutex);
    loadNosepieceLocked();
    return m_nosepiece.count;
}

QMap<int, int> ConfigStore::readNosepiece()
{
    QMutexLocker lock(&m_mutex);
    loadNosepieceLocked();
    return m_nosepiece.magnifications;
}

void ConfigStore::writeNosepiece(int count, const QMap<int, int> &magnifications)
{
    QMutexLocker lock(&m_mutex);
    loadNosepieceLocked();
    if (m_nosepiece.count == count && m_nosepiece.magnifications == magnifications)
        return;
    m_nosepiece.count = count;
    m_nosepiece.magnifications = magnifications;
    m_loaded[std::size_t(ConfigGroup::Nosepiece)] = false;

    const ConfigGroupInfo &info = configGroupInfo(ConfigGroup::Nosepiece);
    auto ini = openIni(info.file);
    ini->beginGroup(info.name);
    ini->setValue(info.keys.value(NosepieceKey::NosepieceCount), count);
    ini->remove(QStringLiteral("nosepieceData"));
    ini->beginWriteArray(QStringLiteral("nosepieceData"), magnifications.size());
    int i = 0;
    for (auto it = magnifications.cbegin(); it != magnifications.cend(); ++it) {
        ini->setArrayIndex(i++);
        ini->setValue(QStringLiteral("lensIndex"), it.key());
        ini->setValue(QStringLiteral("magnification"), it.value());
    }
    ini->endArray();
    ini->endGroup();
    const QString path = ini->fileName();
    const QString error = syncIni(*ini);
    ini.reset();
    lock.unlock();
    reportSave(path, error);
}

ConfigStore::CalibrationCache *ConfigStore::calibrationCache(ConfigGroup list)
{
    if (list == ConfigGroup::Calibrate)
        return &m_calibrations[0];
    if (list == ConfigGroup::NosepieceCalibrate)
        return &m_calibrations[1];
    qWarning().noquote() << "ConfigStore." << configGroupInfo(list).name << "is no calibration list";
    return nullptr;
}

QList<QVariantMap> ConfigStore::readCalibrations(ConfigGroup list)
{
    QMutexLocker lock(&m_mutex);
    CalibrationCache *cache = calibrationCache(list);
    if (!cache)
        return {};
    if (cache->loaded)
        return cache->records;
    const QString name = configGroupInfo(list).name;
    auto ini = openIni(ConfigFile::Calibration);
    int size = ini->beginReadArray(name);
    if (size > MaxCalibrationEntries) {
        qWarning().noquote() << "ConfigStore. Ignoring" << name << "entries beyond" << MaxCalibrationEntries << "of"
                             << size;
        size = MaxCalibrationEntries;
    }
    QList<QVariantMap> records;
    for (int i = 0; i < size; ++i) {
        ini->setArrayIndex(i);
        QVariantMap record;
        for (const QString &key : ini->childKeys())
            record.insert(key, ini->value(key));
        records << record;
    }
    ini->endArray();
    cache->records = records;
    cache->loaded = true;
    return records;
}

bool ConfigStore::writeCalibrations(ConfigGroup list, const QList<QVariantMap> &records)
{
    QMutexLocker lock(&m_mutex);
    CalibrationCache *cache = calibrationCache(list);
    if (!cache)
        return false;
    const QString name = configGroupInfo(list).name;
    auto ini = openIni(ConfigFile::Calibration);
    ini->remove(name);
    ini->beginWriteArray(name, records.size());
    for (int i = 0; i < records.size(); ++i) {
        ini->setArrayIndex(i);
        const QVariantMap &record = records.at(i);
        for (auto it = record.cbegin(); it != record.cend(); ++it)
            ini->setValue(it.key(), it.value());
    }
    ini->endArray();
    const QString path = ini->fileName();
    const QString error = syncIni(*ini);
    ini.reset();
    cache->loaded = error.isEmpty();
    cache->records = error.isEmpty() ? records : QList<QVariantMap>();
    lock.unlock();
    reportSave(path, error);
    return error.isEmpty();
}

QMap<int, QVariant> ConfigStore::readUserInfo()
{
    return read(ConfigGroup::UserInfo);
}

QJsonObject ConfigStore::readCameraConfiguration(const QString &cameraName)
{
    if (cameraName.isEmpty()) {
        qWarning() << "readCameraConfiguration. cameraName is empty";
        return {};
    }
    QMutexLocker lock(&m_jsonMutex);
    QFile file(m_cameraConfigurationPath);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "readCameraConfiguration. Failed to open configuration file";
        return {};
    }
    if (file.size() > MaxJsonFileBytes) {
        qWarning().noquote() << "readCameraConfiguration. Configuration file is too large:" << file.size();
        return {};
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (document.isNull()) {
        qWarning().noquote() << QStringLiteral(
                                    "readCameraConfiguration. Failed to parase camera configuration, error=") +
                                    parseError.errorString();
        return {};
    }
    const QJsonValue member = document.object().value(cameraName);
    return member.isObject() ? member.toObject() : QJsonObject();
}

bool ConfigStore::saveCameraConfiguration(const QString &cameraName, const QJsonObject &configuration)
{
    if (cameraName.isEmpty() || configuration.isEmpty()) {
        qWarning() << "saveCameraConfiguration. cameraName or configuration is empty";
        return false;
    }
    QMutexLocker lock(&m_jsonMutex);
    JsonFile file = loadJsonObject(m_cameraConfigurationPath);
    if (file.state == JsonState::Unreadable || file.state == JsonState::Corrupt) {
        // Starting from an empty root would silently drop every other camera's parameters.
        qWarning().noquote() << QStringLiteral(
                                    "saveCameraConfiguration. Existing configuration file cannot be read, it is left "
                                    "unchanged, error=") +
                                    file.error;
        return false;
    }
    file.root.insert(cameraName, configuration);
    QString error;
    const bool written = writeJson(m_cameraConfigurationPath, file.root, error);
    lock.unlock();
    if (!written)
        qWarning() << "saveCameraConfiguration. Failed to write configuration file";
    reportSave(m_cameraConfigurationPath, error);
    return written;
}

bool ConfigStore::saveConfigurationScheme(const QString &cameraKey, const QString &schemeName,
                                          const QVariantMap &parameters)
{
    QJsonObject numbers;
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it) {
        bool ok = false;
        const double number = it.value().toDouble(&ok);
        if (ok)
            numbers.insert(it.key(), number);
        else
            qWarning().noquote() << "Value for key" << it.key() << "is not a real number and will be ignored.";
    }
    return saveConfigurationScheme(cameraKey, schemeName, numbers);
}

bool ConfigStore::saveConfigurationScheme(const QString &cameraKey, const QString &schemeName,
                                          const QJsonObject &parameters)
{
    static const char operation[] = "saveConfigurationScheme";
    if (schemeName.isEmpty()) {
        warn(operation, QStringLiteral("schemeName is empty"));
        return false;
    }
    const QJsonObject numbers = numericParameters(parameters);
    if (numbers.isEmpty()) {
        warn(operation, QStringLiteral("The scheme %1 has no numeric parameters").arg(schemeName));
        return false;
    }
    return editSchemes(operation, cameraKey, [&](QJsonObject &camera) {
        camera.insert(schemeName, numbers);
        return true;
    });
}

QMap<QString, QVariantMap> ConfigStore::readConfigurationSchemes(const QString &cameraKey)
{
    QMutexLocker lock(&m_jsonMutex);
    const JsonFile file = loadJsonObject(m_configurationSchemePath);
    if (file.state == JsonState::Unreadable || file.state == JsonState::Corrupt) {
        warn("readConfigurationSchemes",
             QStringLiteral("Failed to read configuration scheme file, error=") + file.error);
        return {};
    }
    const QJsonValue allValue = file.root.value(allCamerasMember);
    const QJsonValue cameraValue = allValue.toObject().value(cameraKey);
    if ((!allValue.isUndefined() && !allValue.isObject()) || (!cameraValue.isUndefined() && !cameraValue.isObject())) {
        warn("readConfigurationSchemes",
             QStringLiteral("Configuration scheme file holds no valid schemes for ") + cameraKey);
        return {};
    }
    QMap<QString, QVariantMap> schemes;
    const QJsonObject camera = cameraValue.toObject();
    for (auto it = camera.begin(); it != camera.end(); ++it) {
        if (it.value().isObject())
            schemes.insert(it.key(), numericParameters(it.value().toObject()).toVariantMap());
    }
    return schemes;
}

QStringList ConfigStore::configurationSchemeNames(const QString &cameraKey)
{
    return readConfigurationSchemes(cameraKey).keys();
}

QVariantMap ConfigStore::readConfigurationScheme(const QString &cameraKey, const QString &schemeName)
{
    const QMap<QString, QVariantMap> schemes = readConfigurationSchemes(cameraKey);
    const auto it = schemes.constFind(schemeName);
    if (it == schemes.cend()) {
        warn("readConfigurationScheme", QStringLiteral("Scheme %1 of %2 not found").arg(schemeName, cameraKey));
        return {};
    }
    return it.value();
}

bool ConfigStore::renameConfigurationScheme(const QString &cameraKey, const QString &oldName, const QString &newName)
{
    static const char operation[] = "renameConfigurationScheme";
    if (oldName.isEmpty() || newName.isEmpty()) {
        warn(operation, QStringLiteral("schemeName is empty"));
        return false;
    }
    return editSchemes(operation, cameraKey, [&](QJsonObject &camera) {
        if (!camera.contains(oldName)) {
            warn(operation, QStringLiteral("Scheme %1 of %2 not found").arg(oldName, cameraKey));
            return false;
        }
        if (oldName == newName)
            return true;
        if (camera.contains(newName)) {
            warn(operation, QStringLiteral("Scheme %1 of %2 already exists").arg(newName, cameraKey));
            return false;
        }
        camera.insert(newName, camera.take(oldName));
        return true;
    });
}

bool ConfigStore::deleteConfigurationScheme(const QString &cameraKey, const QString &schemeName)
{
    static const char operation[] = "deleteConfigurationScheme";
    return editSchemes(operation, cameraKey, [&](QJsonObject &camera) {
        if (!camera.contains(schemeName)) {
            warn(operation, QStringLiteral("Scheme %1 of %2 not found").arg(schemeName, cameraKey));
            return false;
        }
        camera.remove(schemeName);
        return true;
    });
}

bool ConfigStore::editSchemes(const char *operation, const QString &cameraKey,
                              const std::function<bool(QJsonObject &camera)> &edit)
{
    if (cameraKey.isEmpty()) {
        warn(operation, QStringLiteral("cameraKey is empty"));
        return false;
    }
    const QString &path = m_configurationSchemePath;
    QMutexLocker lock(&m_jsonMutex);
    JsonFile file = loadJsonObject(path);
    if (file.state == JsonState::Unreadable || file.state == JsonState::Corrupt) {
        warn(operation,
             QStringLiteral("Configuration scheme file cannot be read, it is left unchanged, error=") + file.error);
        return false;
    }
    const QJsonValue allValue = file.root.value(allCamerasMember);
    if (!allValue.isUndefined() && !allValue.isObject()) {
        warn(operation, QStringLiteral("Configuration scheme file has no valid \"AllCamear\" object, it is left "
                                       "unchanged"));
        return false;
    }
    QJsonObject all = allValue.toObject();
    const QJsonValue cameraValue = all.value(cameraKey);
    if (!cameraValue.isUndefined() && !cameraValue.isObject()) {
        warn(operation, QStringLiteral("Schemes of %1 are not an object, the file is left unchanged").arg(cameraKey));
        return false;
    }
    QJsonObject camera = cameraValue.toObject();
    if (!edit(camera))
        return false;
    if (camera.isEmpty())
        all.remove(cameraKey);
    else
        all.insert(cameraKey, camera);
    file.root.insert(allCamerasMember, all);
    QString error;
    const bool written = writeJson(path, file.root, error);
    lock.unlock();
    if (!written)
        warn(operation, QStringLiteral("Failed to write configuration scheme file"));
    reportSave(path, error);
    return written;
}

void ConfigStore::reportSave(const QString &path, const QString &error)
{
    QMutexLocker lock(&m_failedMutex);
    if (error.isEmpty()) {
        m_failed.remove(path);
        return;
    }
    if (m_failed.contains(path))
        return;
    m_failed.insert(path);
    lock.unlock();
    emit saveFailed(path, error);
}

bool ConfigStore::saveFFCAverageFrameToFile(const QImage &frame, const QString &path)
{
    return FlatFieldFile::save(frame, path);
}

QImage ConfigStore::readFFCAverageFrameFromFile(const QString &path)
{
    return FlatFieldFile::read(path);
}
