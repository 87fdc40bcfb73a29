#pragma once

#include "cameraenums.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
struct CameraInfo;

// Which firmware files the open camera takes. It is decided on the GUI thread from copies
// the panel holds (the model name the camera was opened with, the information it sent): the
// camera's own checkUpgradeFile reads information that the camera's thread rewrites.
class FirmwareFileRule
{
public:
    // Takes no file: the camera cannot be upgraded through this program.
    FirmwareFileRule() = default;
    // The rule of a camera object: network cameras take files named after their model, the
    // USB models with a firmware key files named after key and model suffix.
    static FirmwareFileRule of(const QObject *camera, const QString &model, const CameraInfo &info);

    bool upgradable() const { return m_route != None; }
    // Network cameras report progress only when asked.
    bool polled() const { return m_route == Network; }
    bool accepts(const QString &path) const;

private:
    enum Route { None, Usb, Network };
    Route m_route = None;
    QString m_key;
    QString m_suffix;
};

// The firmware upgrade entry of the panel: the file, the checks before anything is sent,
// and the progress the camera reports.
class UpgradeControl : public QWidget
{
    Q_OBJECT

public:
    explicit UpgradeControl(QWidget *parent = nullptr);

    // The panel's current camera: whether one is open and which files it takes.
    void setCamera(bool present, const FirmwareFileRule &rule);
    void setFilePath(const QString &path);
    bool isUpgrading() const { return m_upgrading; }

    // Message boxes; tests replace them. `confirm` returns whether to go on.
    std::function<void(QWidget *parent, const QString &title, const QString &message)> showMessage;
    std::function<bool(QWidget *parent, const QString &question)> confirm;

signals:
    void upgradeCamera(QString filePath);
    // Asks a network camera for the progress of its upgrade.
    void getCameraUpgradeStatus();

public slots:
    void doUpgrade();
    void onRecvUpgradeStatus(UpgradeStatus status, int percentage);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void chooseFile();
    void finish();

    bool m_present = false;
    FirmwareFileRule m_rule;
    bool m_upgrading = false;

    QLineEdit *m_path = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_upgrade = nullptr;
    QLabel *m_status = nullptr;
    QProgressBar *m_progress = nullptr;
    QTimer *m_poll = nullptr;
};
