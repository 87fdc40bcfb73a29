#pragma once

#include <QMessageBox>
#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <functional>

class QComboBox;
class QPushButton;

// The panel's configuration-scheme box: the scheme combo ("Factory Settings", then the schemes
// of the open camera's model) and the Add, Save, Import and Export buttons. It reads and writes
// the schemes itself; applying a chosen scheme's values is the panel's job.
class SchemeControl : public QWidget
{
    Q_OBJECT

public:
    explicit SchemeControl(QWidget *parent = nullptr);

    // The model key of the open camera (BaseCamera::modelKey()); empty: no camera, all disabled.
    // Fills the combo and selects the scheme last chosen, without applying it: the camera opens
    // with its own remembered values.
    void setCameraKey(const QString &cameraKey);
    QString cameraKey() const { return m_cameraKey; }

    // The panel's current values, stored by Add and Save.
    std::function<QVariantMap()> currentValues;

    // Dialogs, replaceable by tests. askName: false when cancelled.
    std::function<bool(QString &name)> askName;
    std::function<bool(const QString &title, const QString &text)> askYesNo;
    std::function<QString(const QString &caption, const QString &folder)> openFileName;
    std::function<QString(const QString &caption, const QString &folder)> saveFileName;
    std::function<void(QMessageBox::Icon icon, const QString &title, const QString &text)> showMessage;

signals:
    // The operator chose a stored scheme; its values, to apply in configurationSchemeKeys() order.
    void schemeSelected(QVariantMap values);
    void factorySettingsSelected();
    void signalConfigurationsImported();

private:
    void fill(const QString &selected);
    void updateButtons();
    void onActivated(int index);
    void onAdd();
    void onSave();
    void onImport();
    void onExport();
    QString selectedName() const; // empty for the factory settings

    QString m_cameraKey;
    QString m_folder; // last folder of an import or export
    QComboBox *m_combo;
    QPushButton *m_add;
    QPushButton *m_save;
    QPushButton *m_import;
    QPushButton *m_export;
};
