#include "schemecontrol.h"

#include "configstore.h"
#include "configurationschemes.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QInputDialog>
#include <QPushButton>

namespace {

constexpr int FactorySettings = -1;

} // namespace

SchemeControl::SchemeControl(QWidget *parent)
    : QWidget(parent)
    , m_folder(ConfigStore::instance().value(ConfigGroup::Base, BaseKey::ExportFilePath).toString())
    , m_combo(new QComboBox(this))
    , m_add(new QPushButton(tr("Add"), this))
    , m_save(new QPushButton(tr("Save"), this))
    , m_import(new QPushButton(tr("Import"), this))
    , m_export(new QPushButton(tr("Export"), this))
{
    m_combo->setObjectName(QStringLiteral("scheme_combo"));
    m_add->setObjectName(QStringLiteral("scheme_add_button"));
    m_save->setObjectName(QStringLiteral("scheme_save_button"));
    m_import->setObjectName(QStringLiteral("scheme_import_button"));
    m_export->setObjectName(QStringLiteral("scheme_export_button"));
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo->setMinimumContentsLength(12);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_combo, 0, 0, 1, 4);
    layout->addWidget(m_add, 1, 0);
    layout->addWidget(m_save, 1, 1);
    layout->addWidget(m_import, 1, 2);
    layout->addWidget(m_export, 1, 3);

    askName = [this](QString &name) {
        bool ok = false;
        name = QInputDialog::getText(this, tr("Info"), tr("Please enter a configuration name"), QLineEdit::Normal,
                                     QString(), &ok);
        return ok;
    };
    askYesNo = [this](const QString &title, const QString &text) {
        return QMessageBox::question(this, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    };
    openFileName = [this](const QString &caption, const QString &folder) {
        return QFileDialog::getOpenFileName(this, caption, folder, tr("JSON files (*.json)"));
    };
    saveFileName = [this](const QString &caption, const QString &folder) {
        return QFileDialog::getSaveFileName(this, caption, folder + QStringLiteral("/ConfigurationScheme.json"),
                                            tr("JSON files (*.json)"));
    };
    showMessage = [this](QMessageBox::Icon icon, const QString &title, const QString &text) {
        QMessageBox box(icon, title, text, QMessageBox::Ok, this);
        box.exec();
    };

    connect(m_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SchemeControl::updateButtons);
    connect(m_combo, QOverload<int>::of(&QComboBox::activated), this, &SchemeControl::onActivated);
    connect(m_add, &QPushButton::clicked, this, &SchemeControl::onAdd);
    connect(m_save, &QPushButton::clicked, this, &SchemeControl::onSave);
    connect(m_import, &QPushButton::clicked, this, &SchemeControl::onImport);
    connect(m_export, &QPushButton::clicked, this, &SchemeControl::onExport);
    setCameraKey(QString());
}

void SchemeControl::setCameraKey(const QString &cameraKey)
{
    m_cameraKey = cameraKey;
    fill(ConfigurationSchemes(cameraKey).currentName());
}

void SchemeControl::fill(const QString &selected)
{
    const QSignalBlocker blocker(m_combo);
    m_combo->clear();
    m_combo->addItem(tr("Factory Settings"), FactorySettings);
    for (const QString &name : ConfigurationSchemes(m_cameraKey).names())
        m_combo->addItem(name, name);
    m_combo->setCurrentIndex(qMax(0, m_combo->findData(selected)));
    updateButtons();
}

void SchemeControl::updateButtons()
{
    const bool camera = !m_cameraKey.isEmpty();
    m_combo->setEnabled(camera);
    m_add->setEnabled(camera);
    m_import->setEnabled(camera);
    m_save->setEnabled(camera && !selectedName().isEmpty());
    m_export->setEnabled(camera && m_combo->count() > 1);
}

QString SchemeControl::selectedName() const
{
    const QVariant data = m_combo->currentData();
    return data == QVariant(FactorySettings) ? QString() : data.toString();
}

void SchemeControl::onActivated(int)
{
    ConfigurationSchemes schemes(m_cameraKey);
    const QString name = selectedName();
    schemes.setCurrentName(name);
    if (name.isEmpty()) {
        emit factorySettingsSelected();
        return;
    }
    const QVariantMap values = schemes.read(name);
    if (!values.isEmpty())
        emit schemeSelected(values);
}

void SchemeControl::onAdd()
{
    QString name;
    if (m_cameraKey.isEmpty() || !askName(name))
        return;
    name = name.trimmed();
    if (name.isEmpty()) {
        showMessage(QMessageBox::Warning, tr("Warning"), tr("Enter the name of the configuration scheme!"));
        return;
    }
    ConfigurationSchemes schemes(m_cameraKey);
    const bool exists = schemes.contains(name);
    if (exists && !askYesNo(tr("Question"), tr("The scheme already exists, do you want to overwrite it?")))
        return;
    if (!schemes.save(name, currentValues ? currentValues() : QVariantMap())) {
        showMessage(QMessageBox::Critical, tr("Error"), tr("Failed to save the configuration scheme!"));
        return;
    }
    if (!exists)
        m_combo->addItem(name, name);
    // The new scheme is what the camera shows now: selected, not applied again.
    m_combo->setCurrentIndex(m_combo->findData(name));
    schemes.setCurrentName(name);
    showMessage(QMessageBox::Information, tr("Info"), tr("Add successful!"));
}

void SchemeControl::onSave()
{
    const QString name = selectedName();
    if (m_cameraKey.isEmpty() || name.isEmpty())
        return;
    if (!ConfigurationSchemes(m_cameraKey).save(name, currentValues ? currentValues() : QVariantMap())) {
        showMessage(QMessageBox::Critical, tr("Error"), tr("Failed to save the configuration scheme!"));
        return;
    }
    showMessage(QMessageBox::Information, tr("Info"), tr("Save successful!"));
}

void SchemeControl::onImport()
{
    if (m_cameraKey.isEmpty())
        return;
    const QString path = openFileName(tr("Import"), m_folder);
    if (path.isEmpty())
        return;
    m_folder = QFileInfo(path).absolutePath();
    QStringList imported;
    const ConfigurationSchemes::Outcome outcome =
        ConfigurationSchemes(m_cameraKey)
            .importFrom(
                path,
                [this](const QString &name) {
                    return askYesNo(tr("Configuration Exists"), tr("Configuration '%1' already exists. Do you want to "
                                                                   "overwrite it?")
                                                                    .arg(name));
                },
                &imported);
    if (!imported.isEmpty()) {
        fill(selectedName());
        emit signalConfigurationsImported();
    }
    switch (outcome) {
    case ConfigurationSchemes::Outcome::Done:
        break;
    case ConfigurationSchemes::Outcome::CameraMismatch:
        showMessage(QMessageBox::Warning, tr("Camera Name Mismatch"),
                    tr("The imported configuration does not contain settings for the current camera: '%1'. "
                       "Importing is not allowed.")
                        .arg(m_cameraKey));
        break;
    case ConfigurationSchemes::Outcome::CannotOpen:
        showMessage(QMessageBox::Critical, tr("Error"), tr("Could not open the file."));
        break;
    case ConfigurationSchemes::Outcome::WriteFailed:
        showMessage(QMessageBox::Critical, tr("Error"), tr("Failed to save the configuration scheme!"));
        break;
    }
}

void SchemeControl::onExport()
{
    if (m_cameraKey.isEmpty())
        return;
    const QString path = saveFileName(tr("Export"), m_folder);
    if (path.isEmpty())
        return;
    m_folder = QFileInfo(path).absolutePath();
    if (ConfigurationSchemes(m_cameraKey).exportTo(path) == ConfigurationSchemes::Outcome::Done)
        showMessage(QMessageBox::Information, tr("Info"), tr("The configurations have been exported successfully."));
    else
        showMessage(QMessageBox::Critical, tr("Error"), tr("Could not open the file."));
}
