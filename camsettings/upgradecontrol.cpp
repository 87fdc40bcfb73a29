#include "upgradecontrol.h"

#include "camerainfo.h"
#include "configstore.h"
#include "models/cm34camera.h"
#include "netcamera.h"
#include "netfirmwareupdate.h"
#include "usbmodeltable.h"

#include <QDebug>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int kStatusPollMs = 1000;

} // namespace

FirmwareFileRule FirmwareFileRule::of(const QObject *camera, const QString &model, const CameraInfo &info)
{
    FirmwareFileRule rule;
    if (qobject_cast<const NetCamera *>(camera)) {
        rule.m_route = Network;
        rule.m_key = NetFirmwareUpdate::modelKey(model);
    } else if (qobject_cast<const Cm34Camera *>(camera)) {
        rule.m_route = Usb;
        rule.m_key = QLatin1String(Cm34Camera::kFirmwareKey);
    } else if (const UsbModelEntry *entry = findUsbModel(info.productId); entry && entry->upgradeKey) {
        rule.m_route = Usb;
        rule.m_key = QLatin1String(entry->upgradeKey);
    }
    rule.m_suffix = info.modelSuffix;
    return rule;
}

bool FirmwareFileRule::accepts(const QString &path) const
{
    switch (m_route) {
    case Network:
        return NetFirmwareUpdate::fits(path, m_key);
    case Usb:
        return usbFirmwareFileFits(path, m_key, m_suffix);
    case None:
        break;
    }
    return false;
}

UpgradeControl::UpgradeControl(QWidget *parent) : QWidget(parent)
{
    showMessage = [](QWidget *parent, const QString &title, const QString &message) {
        QMessageBox::warning(parent, title, message);
    };
    confirm = [](QWidget *parent, const QString &question) {
        return QMessageBox::question(parent, tr("Notice"), question, QMessageBox::Ok | QMessageBox::Cancel) ==
               QMessageBox::Ok;
    };

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("upgrade_path_edit"));
    m_open = new QPushButton(this);
    m_open->setObjectName(QStringLiteral("upgrade_open_button"));
    m_upgrade = new QPushButton(this);
    m_upgrade->setObjectName(QStringLiteral("upgrade_button"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("upgrade_status_label"));
    m_status->setWordWrap(true);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("upgrade_progress"));
    m_progress->setRange(0, 100);
    m_progress->setVisible(false);
    m_poll = new QTimer(this);
    m_poll->setInterval(kStatusPollMs);

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_path, 0, 0);
    layout->addWidget(m_open, 0, 1);
    layout->addWidget(m_upgrade, 1, 1);
    layout->addWidget(m_status, 2, 0, 1, 2);
    layout->addWidget(m_progress, 3, 0, 1, 2);
    layout->setRowStretch(4, 1);

    connect(m_open, &QPushButton::clicked, this, &UpgradeControl::chooseFile);
    connect(m_upgrade, &QPushButton::clicked, this, &UpgradeControl::doUpgrade);
    connect(m_poll, &QTimer::timeout, this, &UpgradeControl::getCameraUpgradeStatus);
    retranslate();
}

void UpgradeControl::setCamera(bool present, const FirmwareFileRule &rule)
{
    m_present = present;
    m_rule = rule;
    // A camera that goes away during its upgrade reports nothing more.
    if (!present && m_upgrading) {
        finish();
        m_status->clear();
    }
}

void UpgradeControl::setFilePath(const QString &path)
{
    m_path->setText(path);
}

void UpgradeControl::chooseFile()
{
    ConfigStore &store = ConfigStore::instance();
    const QString folder = store.value(ConfigGroup::Base, BaseKey::UpgradeFilePath).toString();
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open File"), folder, tr("Upgrade File (*.lpk *.bin *.update *.img)"));
    if (path.isEmpty())
        return;
    store.write(ConfigGroup::Base, BaseKey::UpgradeFilePath, QFileInfo(path).absolutePath());
    m_path->setText(path);
}

void UpgradeControl::doUpgrade()
{
    if (m_upgrading)
        return;
    const QString path = m_path->text().trimmed();
    if (!m_present) {
        showMessage(this, tr("Warning"), tr("There is no camera to upgrade!"));
        return;
    }
    if (!m_rule.upgradable()) {
        showMessage(this, tr("Warning"), tr("Current camera is not support upgrade!"));
        return;
    }
    if (path.isEmpty()) {
        showMessage(this, tr("Info"), tr("Please select upgrade file first!"));
        return;
    }
    if (!m_rule.accepts(path)) {
        showMessage(this, tr("Warning"), tr("Invalid upgrade file name!"));
        return;
    }
    if (!confirm(this, tr("Are you sure to upgrade?")))
        return;
    if (m_rule.polled())
        qInfo().noquote() << "Net upgrade. Upgrade File Name: " + path;
    m_upgrading = true;
    m_open->setEnabled(false);
    m_upgrade->setEnabled(false);
    m_progress->setValue(0);
    m_progress->setVisible(true);
    m_status->setText(tr("Upgrading, please not disconnect!"));
    emit upgradeCamera(path);
    if (m_rule.polled())
        m_poll->start();
}

void UpgradeControl::onRecvUpgradeStatus(UpgradeStatus status, int percentage)
{
    if (!m_upgrading)
        return;
    switch (status) {
    case Upgrading:
        m_progress->setValue(qBound(0, percentage, 100));
        m_status->setText(tr("Upgrading, please not disconnect!"));
        break;
    case UpgradeSucceeded:
        finish();
        m_status->setText(tr("Upgrade succeeded!"));
        break;
    case UpgradeFailed:
        finish();
        m_status->clear();
        showMessage(this, tr("Warning"), tr("Upgrade failed!"));
        break;
    }
}

void UpgradeControl::finish()
{
    m_upgrading = false;
    m_poll->stop();
    m_progress->setVisible(false);
    m_open->setEnabled(true);
    m_upgrade->setEnabled(true);
}

void UpgradeControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void UpgradeControl::retranslate()
{
    m_path->setPlaceholderText(tr("Upgrade file"));
    m_open->setText(tr("Open"));
    m_upgrade->setText(tr("Upgrade"));
}
