#pragma once

#include "commandregistry.h"

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QKeySequenceEdit;

// What the mouse wheel does over a video window (stored as "MouseWheel" in "key_bind").
enum KeyFunction : int { ZoomVideoWindow = 0, AdjustFocus = 1, AdjustZoom = 2 };

// "Shortcut Key Settings": the mouse-wheel function and the keys of the registered
// commands. Keys used twice are refused; OK stores both and reports them.
class ShortcutSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ShortcutSettingsDialog(const CommandRegistry &commands, QWidget *parent = nullptr);

    static KeyFunction storedMouseWheel();
    // The index of the first key that an earlier command already has, or -1. Empty keys
    // never clash.
    static int firstRepeatedKey(const QStringList &keys);

    QStringList shortcuts() const;
    void setShortcuts(const QStringList &keys);
    KeyFunction mouseWheel() const;

signals:
    void shortcutsChanged(QStringList shortcuts);
    void mouseWheelChanged(KeyFunction function);

public slots:
    void accept() override;

private:
    const CommandRegistry &m_commands;
    QList<QKeySequenceEdit *> m_edits;
    QButtonGroup *m_wheel = nullptr;
};
