#include "advancedlock.h"

#include "configstore.h"
#include "constants.h"

#include <QCheckBox>
#include <QDebug>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QLatin1String kProductionTestCode(Constants::kProductionTestCode);
const QLatin1String kMasterPassword(Constants::kLoginUser);

QString storedPassword(ConfigStore &store)
{
    return store.value(ConfigGroup::Base, BaseKey::UnlockPassword).toString();
}

// The settings file holds the password in plain text, as existing installations keep it:
// at least other users of the machine must not read it. Later saves keep the permissions.
void restrictToOwner(const QString &path)
{
    if (QFile::exists(path) && !QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
        qWarning().noquote() << "Cannot restrict the permissions of" << path;
}

void warn(QWidget *parent, const QString &message)
{
    QMessageBox::warning(parent, AdvancedLock::tr("Warning"), message);
}

} // namespace

bool isValidPassword(const QString &password)
{
    if (password.isEmpty())
        return false;
    for (const QChar c : password) {
        const ushort u = c.unicode();
        if (u <= 0x20 || u >= 0x7f || c == QLatin1Char('"') || c == QLatin1Char('/'))
            return false;
    }
    return true;
}

LockOutcome evaluateLockEntry(LockOperation operation, const QString &entered, const QString &storedPassword)
{
    const bool unlock = operation == LockOperation::Unlock;
    if (entered == kProductionTestCode)
        return {LockOutcome::ProductionTest, {}};
    if (entered.isEmpty()) {
        return {LockOutcome::Refused, unlock ? AdvancedLock::tr("Failed to unlock, password is empty!")
                                             : AdvancedLock::tr("Failed to lock, password is empty!")};
    }
    if (entered == kMasterPassword || entered == storedPassword)
        return {LockOutcome::Switched, {}};
    return {LockOutcome::Refused, unlock ? AdvancedLock::tr("Failed to unlock, wrong password!")
                                         : AdvancedLock::tr("Failed to lock, wrong password!")};
}

QString passwordChangeError(const QString &original, const QString &newPassword, const QString &confirmPassword,
                            const QString &storedPassword)
{
    if (original.isEmpty() || newPassword.isEmpty() || confirmPassword.isEmpty())
        return AdvancedLock::tr("Input can not be empty!");
    if (original != kMasterPassword && original != storedPassword)
        return AdvancedLock::tr("Wrong original password!");
    if (newPassword != confirmPassword)
        return AdvancedLock::tr("Inconsistency between two new passwords!");
    if (!isValidPassword(newPassword) || newPassword == kProductionTestCode) {
        return AdvancedLock::tr("The password may contain printable ASCII characters only, except the space, "
                                "the double quote and the slash, and may not be a reserved code!");
    }
    return {};
}

// ---- AdvancedLock --------------------------------------------------------------------------

AdvancedLock::AdvancedLock(ConfigStore &store, QObject *parent) : QObject(parent), showWarning(warn), m_store(store)
{
    m_unlocked = m_store.value(ConfigGroup::Base, BaseKey::StayUnlocked, false).toBool();
    if (!storedPassword(m_store).isEmpty())
        restrictToOwner(m_store.configIniPath());
}

void AdvancedLock::requestUnlock(QWidget *parent)
{
    request(LockOperation::Unlock, parent);
}

void AdvancedLock::requestLock(QWidget *parent)
{
    request(LockOperation::Lock, parent);
}

void AdvancedLock::request(LockOperation operation, QWidget *parent)
{
    PasswordDialog dialog(*this, operation, m_store, parent);
    dialog.exec();
}

LockOutcome AdvancedLock::submit(LockOperation operation, const QString &entered, bool stayUnlocked)
{
    const LockOutcome outcome = evaluateLockEntry(operation, entered, storedPassword(m_store));
    switch (outcome.action) {
    case LockOutcome::ProductionTest:
        emit productionTestRequested();
        break;
    case LockOutcome::Switched:
        m_unlocked = operation == LockOperation::Unlock;
        m_store.write(ConfigGroup::Base, BaseKey::StayUnlocked, m_unlocked && stayUnlocked);
        emit advWdigetUnlockStateChanged(m_unlocked);
        break;
    case LockOutcome::Refused:
        break;
    }
    return outcome;
}

// ---- PasswordDialog ------------------------------------------------------------------------

PasswordDialog::PasswordDialog(AdvancedLock &lock, LockOperation operation, ConfigStore &store, QWidget *parent)
    : QDialog(parent), m_lock(lock), m_operation(operation), m_store(store)
{
    setWindowTitle(tr("Please Input Administrator Password"));
    setObjectName(QStringLiteral("password_dialog"));

    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("password_edit"));
    m_password->setEchoMode(QLineEdit::Password);
    m_prompt = new QLabel(this);
    m_prompt->setObjectName(QStringLiteral("password_prompt_label"));
    m_prompt->setTextFormat(Qt::RichText);
    m_stayUnlocked = new QCheckBox(tr("Stay Unlocked"), this);
    m_stayUnlocked->setObjectName(QStringLiteral("stay_unlocked_check"));
    m_stayUnlocked->setChecked(store.value(ConfigGroup::Base, BaseKey::StayUnlocked, false).toBool());
    m_stayUnlocked->setVisible(operation == LockOperation::Unlock);

    auto *settings = new QPushButton(tr("Settings"), this);
    settings->setObjectName(QStringLiteral("password_settings_button"));
    settings->setAutoDefault(false);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto *row = new QHBoxLayout;
    row->addWidget(m_stayUnlocked);
    row->addStretch();
    row->addWidget(settings);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_password);
    layout->addWidget(m_prompt);
    layout->addLayout(row);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordDialog::onConfirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(settings, &QPushButton::clicked, this, &PasswordDialog::onSettings);
    updatePrompt();
}

void PasswordDialog::updatePrompt()
{
    const QString prompt = m_store.value(ConfigGroup::Base, BaseKey::PasswordPrompt).toString();
    // The prompt is the operator's text: shown as text inside the markup, never as markup.
    m_prompt->setText(
        prompt.isEmpty() ? QString() : tr("Password Prompt: <font color = red>%1</font>").arg(prompt.toHtmlEscaped()));
    m_prompt->setVisible(!prompt.isEmpty());
}

void PasswordDialog::onConfirm()
{
    const LockOutcome outcome = m_lock.submit(m_operation, m_password->text(), m_stayUnlocked->isChecked());
    if (outcome.action == LockOutcome::Refused) {
        m_lock.showWarning(this, outcome.message);
        return;
    }
    m_password->clear();
    if (outcome.action == LockOutcome::Switched)
        accept();
    else
        reject();
}

void PasswordDialog::onSettings()
{
    PasswordSettings settings(m_store, this);
    if (settings.exec() == QDialog::Accepted)
        updatePrompt();
}

// ---- PasswordSettings ----------------------------------------------------------------------

PasswordSettings::PasswordSettings(ConfigStore &store, QWidget *parent)
    : QDialog(parent), showWarning(warn), m_store(store)
{
    setWindowTitle(tr("Password Settings"));
    setObjectName(QStringLiteral("password_settings"));

    auto makeEdit = [this](const char *name, bool secret) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        if (secret)
            edit->setEchoMode(QLineEdit::Password);
        return edit;
    };
    m_original = makeEdit("original_password_edit", true);
    m_new = makeEdit("new_password_edit", true);
    m_confirm = makeEdit("confirm_password_edit", true);
    m_prompt = makeEdit("password_prompt_edit", false);
    m_prompt->setText(store.value(ConfigGroup::Base, BaseKey::PasswordPrompt).toString());

    auto *form = new QFormLayout;
    form->addRow(tr("Original Password"), m_original);
    form->addRow(tr("New Password"), m_new);
    form->addRow(tr("Confirm New Password"), m_confirm);
    form->addRow(tr("Password Prompt"), m_prompt);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &PasswordSettings::onConfirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void PasswordSettings::onConfirm()
{
    const QString error =
        passwordChangeError(m_original->text(), m_new->text(), m_confirm->text(), storedPassword(m_store));
    if (!error.isEmpty()) {
        showWarning(this, error);
        return;
    }
    m_store.write(ConfigGroup::Base, BaseKey::UnlockPassword, m_new->text());
    m_store.write(ConfigGroup::Base, BaseKey::PasswordPrompt, m_prompt->text());
    restrictToOwner(m_store.configIniPath());
    accept();
}
