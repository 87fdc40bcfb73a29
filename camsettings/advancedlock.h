#pragma once

#include <QDialog>
#include <QObject>
#include <QString>

#include <functional>

class ConfigStore;
class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

// An administrator password: printable ASCII other than the space, the double quote and the
// slash, at least one character.
bool isValidPassword(const QString &password);

enum class LockOperation { Unlock, Lock };

// What one entry in the password dialog does.
struct LockOutcome
{
    enum Action {
        Refused,        // the lock stays as it is; `message` says why
        Switched,       // the lock opens (Unlock) or closes (Lock)
        ProductionTest, // the production-test code: the lock stays as it is
    };
    Action action = Refused;
    QString message;
};

// Judges an entry against the stored password (empty when none is stored). The
// production-test code comes first, then the stored and the master password.
LockOutcome evaluateLockEntry(LockOperation operation, const QString &entered, const QString &storedPassword);

// Why a password change is refused, or empty when the new password may be stored. The
// original may be the stored or the master password: without a stored one, the master
// password is the only original there is.
QString passwordChangeError(const QString &original, const QString &newPassword, const QString &confirmPassword,
                            const QString &storedPassword);

// The lock over the advanced settings: its state, the password dialogs and what is stored.
class AdvancedLock : public QObject
{
    Q_OBJECT

public:
    // Starts unlocked when the store says to stay unlocked.
    explicit AdvancedLock(ConfigStore &store, QObject *parent = nullptr);

    bool isUnlocked() const { return m_unlocked; }

    // The password dialog, modal over `parent`; it stays open on a refused entry.
    void requestUnlock(QWidget *parent);
    void requestLock(QWidget *parent);

    // Applies one entry of the dialog: a switch changes the state, stores "StayUnlocked" (an
    // unlock with `stayUnlocked` keeps the lock open over restarts, anything else does not)
    // and emits advWdigetUnlockStateChanged; the production-test code emits
    // productionTestRequested. Returns the outcome, for the dialog to act on.
    LockOutcome submit(LockOperation operation, const QString &entered, bool stayUnlocked);

    // Shows a refused entry's message; tests replace it.
    std::function<void(QWidget *parent, const QString &message)> showWarning;

signals:
    void advWdigetUnlockStateChanged(bool isUnlock);
    // The production-test code was entered; emitted while the password dialog is still up,
    // so the receiver shows the test dialog without blocking (show(), not exec()).
    void productionTestRequested();

private:
    void request(LockOperation operation, QWidget *parent);

    ConfigStore &m_store;
    bool m_unlocked = false;
};

// The dialog that asks for the administrator password. The lock judges each entry; the
// dialog closes once an entry is not refused.
class PasswordDialog : public QDialog
{
    Q_OBJECT

public:
    PasswordDialog(AdvancedLock &lock, LockOperation operation, ConfigStore &store, QWidget *parent = nullptr);

private:
    void onConfirm();
    void onSettings();
    void updatePrompt();

    AdvancedLock &m_lock;
    LockOperation m_operation;
    ConfigStore &m_store;
    QLineEdit *m_password = nullptr;
    QLabel *m_prompt = nullptr;
    QCheckBox *m_stayUnlocked = nullptr;
};

// Changes the administrator password and its prompt.
class PasswordSettings : public QDialog
{
    Q_OBJECT

public:
    explicit PasswordSettings(ConfigStore &store, QWidget *parent = nullptr);

    // Shows a refused change's message; tests replace it.
    std::function<void(QWidget *parent, const QString &message)> showWarning;

private:
    void onConfirm();

    ConfigStore &m_store;
    QLineEdit *m_original = nullptr;
    QLineEdit *m_new = nullptr;
    QLineEdit *m_confirm = nullptr;
    QLineEdit *m_prompt = nullptr;
};
