#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>

class ConfigStore;

// The keys a configuration scheme holds, in the order selecting a scheme applies them.
const QStringList &configurationSchemeKeys();

// The configuration schemes of one camera model: named sets of camera values, kept in the
// store's ConfigurationScheme.json under the model's key (BaseCamera::modelKey()), and their
// exchange files.
//
// An exchange file is a JSON object of camera keys, each mapping scheme names to objects of
// key -> number, the layout of ConfigurationScheme.json itself:
//     { "AllCamear": { "cm26": { "Day": { "ExposureTime": 100, "Hue": 5 }, ... }, ... } }
// Export writes exactly that, for this model only. Import takes the camera keys from the
// "AllCamear" member, from an "AllCamera" member, or from the top level, in that order, so
// that a copy of the store's own file imports too. Scheme names are kept as they stand.
class ConfigurationSchemes
{
public:
    enum class Outcome {
        Done,
        CannotOpen,     // missing, unreadable, too large or not a JSON object
        CameraMismatch, // no configuration for this model (import: in the file; export: stored)
        WriteFailed,    // the file (export) or the store (import) could not be written
    };

    // An empty key is no camera: nothing is stored, read or imported.
    explicit ConfigurationSchemes(const QString &cameraKey);
    ConfigurationSchemes(const QString &cameraKey, ConfigStore &store);

    QString cameraKey() const { return m_cameraKey; }

    // The stored scheme names, in the store's (sorted) order.
    QStringList names() const;
    bool contains(const QString &name) const;
    QVariantMap read(const QString &name) const;
    // Stores the numbers of `values` (booleans as 0 and 1) under `name`, replacing a scheme of
    // that name.
    bool save(const QString &name, const QVariantMap &values);

    // The scheme last chosen by the operator, for every camera model; empty for the factory
    // settings.
    QString currentName() const;
    void setCurrentName(const QString &name);

    Outcome exportTo(const QString &path) const;
    // The schemes `path` holds for this model, each reduced to its numbers (the rest is logged
    // and dropped); a scheme left without numbers is left out. Nothing is stored.
    Outcome readFile(const QString &path, QMap<QString, QVariantMap> &schemes) const;
    // Stores `schemes`; `overwrite` is asked, before anything is written, for every name that
    // is stored already (false keeps the stored one). `imported` gets the names written.
    Outcome importSchemes(const QMap<QString, QVariantMap> &schemes,
                          const std::function<bool(const QString &name)> &overwrite, QStringList *imported = nullptr);
    // readFile, then importSchemes.
    Outcome importFrom(const QString &path, const std::function<bool(const QString &name)> &overwrite,
                       QStringList *imported = nullptr);

private:
    QString m_cameraKey;
    ConfigStore &m_store;
};
