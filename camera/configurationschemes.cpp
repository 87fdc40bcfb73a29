#include "configurationschemes.h"

#include "atomicfile.h"
#include "configstore.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

// A few hundred numbers per model; a file far larger than this is not an exchange file.
constexpr qint64 MaxFileBytes = 16 * 1024 * 1024;

// The store's own spelling first, then the plain one.
const char *const kAllCameraMembers[] = {"AllCamear", "AllCamera"};

void warn(const QString &text)
{
    qWarning().noquote() << QStringLiteral("ConfigurationSchemes. ") + text;
}

// The object of camera keys in an exchange file.
QJsonObject cameraKeys(const QJsonObject &root)
{
    for (const char *member : kAllCameraMembers) {
        const QJsonValue value = root.value(QLatin1String(member));
        if (value.isObject())
            return value.toObject();
    }
    return root;
}

} // namespace

const QStringList &configurationSchemeKeys()
{
    static const QStringList keys{
        "FlipHor",
        "FlipVer",
        "RotateAngle",
        "FocusMode",
        "FocusValue",
        "FocusRegionVersion",
        "FocusRegionEnable",
        "FocusRegionDisplay",
        "FocusRegionMode",
        "FocusRegionX",
        "FocusRegionY",
        "FocusRegionV2Enable",
        "FocusRegionV2DisplayRegion",
        "FocusRegionV2SizeEditable",
        "FocusRegionV2X",
        "FocusRegionV2Y",
        "FocusRegionV2Width",
        "FocusRegionV2Height",
        "OZoom",
        "DZoom",
        "ZoomSpeed",
        "ExposureMode",
        "ExposureCompensation",
        "ExposureTime",
        "LongExposureTime",
        "GainUnit",
        "ExposureGain",
        "ExposureRegionEnable",
        "ExposureDisplayRegion",
        "ExposureRegionX",
        "ExposureRegionY",
        "ExposureRegionWidth",
        "ExposureRegionHeight",
        "WhiteBalanceMode",
        "WhiteBalanceRegionEnable",
        "WhiteBalanceDisplayRegion",
        "WhiteBalanceRegionX",
        "WhiteBalanceRegionY",
        "WhiteBalanceRegionWidth",
        "WhiteBalanceRegionHeight",
        "WhiteBalanceRed",
        "WhiteBalanceGreen",
        "WhiteBalanceBlue",
        "BlackBalanceRed",
        "BlackBalanceGreen",
        "BlackBalanceBlue",
        "BlackBalanceRegionEnable",
        "BlackBalanceDisplayRegion",
        "BlackBalanceRegionX",
        "BlackBalanceRegionY",
        "BlackBalanceRegionWidth",
        "BlackBalanceRegionHeight",
        "Hue",
        "Saturation",
        "Contrast",
        "Sharpness",
        "HdrValue",
        "DRC",
        "Defog",
        "PowerlineFrequency",
        "CAC",
        "LDCI",
        "Negative",
        "LEDPart1",
        "LEDPart2",
        "LEDPart3",
        "LEDPart4",
        "LED1Checked",
        "LED2Checked",
        "LED3Checked",
        "LED4Checked",
        "LastLedLevel",
    };
    return keys;
}

ConfigurationSchemes::ConfigurationSchemes(const QString &cameraKey)
    : ConfigurationSchemes(cameraKey, ConfigStore::instance())
{}

ConfigurationSchemes::ConfigurationSchemes(const QString &cameraKey, ConfigStore &store)
    : m_cameraKey(cameraKey), m_store(store)
{}

QStringList ConfigurationSchemes::names() const
{
    return m_cameraKey.isEmpty() ? QStringList() : m_store.configurationSchemeNames(m_cameraKey);
}

bool ConfigurationSchemes::contains(const QString &name) const
{
    return names().contains(name);
}

QVariantMap ConfigurationSchemes::read(const QString &name) const
{
    return m_cameraKey.isEmpty() ? QVariantMap() : m_store.readConfigurationScheme(m_cameraKey, name);
}

bool ConfigurationSchemes::save(const QString &name, const QVariantMap &values)
{
    return m_store.saveConfigurationScheme(m_cameraKey, name, values);
}

QString ConfigurationSchemes::currentName() const
{
    return m_store.readCurConfigurationName();
}

void ConfigurationSchemes::setCurrentName(const QString &name)
{
    m_store.writeCurConfigurationName(name);
}

ConfigurationSchemes::Outcome ConfigurationSchemes::exportTo(const QString &path) const
{
    const QMap<QString, QVariantMap> schemes =
        m_cameraKey.isEmpty() ? QMap<QString, QVariantMap>() : m_store.readConfigurationSchemes(m_cameraKey);
    if (schemes.isEmpty()) {
        warn(QStringLiteral("No configuration of %1 to export").arg(m_cameraKey));
        return Outcome::CameraMismatch;
    }
    QJsonObject camera;
    for (auto it = schemes.cbegin(); it != schemes.cend(); ++it)
        camera.insert(it.key(), QJsonObject::fromVariantMap(it.value()));
    const QJsonObject root{{QLatin1String(kAllCameraMembers[0]), QJsonObject{{m_cameraKey, camera}}}};
    QString error;
    if (!AtomicFile::write(path, QJsonDocument(root).toJson(QJsonDocument::Indented), &error))
        return Outcome::WriteFailed;
    return Outcome::Done;
}

ConfigurationSchemes::Outcome ConfigurationSchemes::readFile(const QString &path,
                                                             QMap<QString, QVariantMap> &schemes) const
{
    schemes.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
        return Outcome::CannotOpen;
    }
    if (file.size() > MaxFileBytes) {
        warn(QStringLiteral("%1 is too large (%2 bytes)").arg(path).arg(file.size()));
        return Outcome::CannotOpen;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        warn(QStringLiteral("%1 is not a configuration file: %2")
                 .arg(path, document.isNull() ? parseError.errorString() : QStringLiteral("no JSON object")));
        return Outcome::CannotOpen;
    }
    const QJsonObject camera = cameraKeys(document.object()).value(m_cameraKey).toObject();
    for (auto it = camera.begin(); it != camera.end(); ++it) {
        if (it.key().isEmpty() || !it.value().isObject()) {
            warn(QStringLiteral("Configuration \"%1\" is no set of values and will be ignored.").arg(it.key()));
            continue;
        }
        QVariantMap numbers;
        const QJsonObject values = it.value().toObject();
        for (auto value = values.begin(); value != values.end(); ++value) {
            if (value.value().isDouble())
                numbers.insert(value.key(), value.value().toDouble());
            else
                qWarning().noquote() << "Value for key" << value.key() << "is not a real number and will be ignored.";
        }
        if (numbers.isEmpty())
            warn(QStringLiteral("Configuration \"%1\" holds no values and will be ignored.").arg(it.key()));
        else
            schemes.insert(it.key(), numbers);
    }
    if (m_cameraKey.isEmpty() || schemes.isEmpty()) {
        warn(QStringLiteral("%1 holds no configuration for %2").arg(path, m_cameraKey));
        return Outcome::CameraMismatch;
    }
    return Outcome::Done;
}

ConfigurationSchemes::Outcome
ConfigurationSchemes::importSchemes(const QMap<QString, QVariantMap> &schemes,
                                    const std::function<bool(const QString &name)> &overwrite, QStringList *imported)
{
    // Every question is answered before the first write.
    const QStringList stored = names();
    QStringList wanted;
    for (auto it = schemes.cbegin(); it != schemes.cend(); ++it) {
        if (!stored.contains(it.key()) || overwrite(it.key()))
            wanted << it.key();
    }
    Outcome outcome = Outcome::Done;
    for (const QString &name : qAsConst(wanted)) {
        if (!save(name, schemes.value(name))) {
            outcome = Outcome::WriteFailed;
            break;
        }
        if (imported)
            *imported << name;
    }
    return outcome;
}

ConfigurationSchemes::Outcome
ConfigurationSchemes::importFrom(const QString &path, const std::function<bool(const QString &name)> &overwrite,
                                 QStringList *imported)
{
    QMap<QString, QVariantMap> schemes;
    const Outcome outcome = readFile(path, schemes);
    return outcome == Outcome::Done ? importSchemes(schemes, overwrite, imported) : outcome;
}
