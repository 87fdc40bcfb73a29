#pragma once

#include <QDialog>
#include <QStringList>

class QButtonGroup;
class QKeySequenceEdit;

// What the mouse wheel does over a video window (stored as "MouseWheel" in "key_bind").
enum KeyFunction : int { ZoomVideoWindow = 0, AdjustFocus = 1, AdjustZoom = 2 };

// The nine application commands, in the order of their keys.
enum ShortcutCommand : int {
    SnapCommand,
    RecordCommand,
    SavePictureCommand,
    TimeLapseCommand,
    PauseCommand,
    OnceFocusCommand,
    RealTimePreviewCommand,
    ImageCopyCommand,
    HandModeCommand,
    ShortcutCommandCount
};

// "Shortcut Key Settings": the mouse-wheel function and the keys of the nine application
// commands. Keys used twice are refused; OK stores both and reports them.
class ShortcutSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ShortcutSettingsDialog(QWidget *parent = nullptr);

    // The commands' keys as stored ("shortcut" group, keys 1..9), defaults F1..F9.
    static QStringList storedShortcuts();
    static KeyFunction storedMouseWheel();
    // The index of the first key that an earlier command already has, or -1. Empty keys
    // never clash.
    static int firstRepeatedKey(const QStringList &keys);
    // A command's name as the dialog shows it, translated.
    static QString commandName(ShortcutCommand command);

    QStringList shortcuts() const;
    void setShortcuts(const QStringList &keys);
    KeyFunction mouseWheel() const;

signals:
    void shortcutsChanged(QStringList shortcuts);
    void mouseWheelChanged(KeyFunction function);

public slots:
    void accept() override;

private:
    QList<QKeySequenceEdit *> m_edits;
    QButtonGroup *m_wheel = nullptr;
};
