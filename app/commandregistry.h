#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <map>

class QShortcut;
class QWidget;

// The nine application commands, in the order of their stored keys.
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

// The commands that have a key. Each feature registers its own; a command registered without
// a handler is still to come. The key of a command is stored under its id in the "shortcut"
// group (keys 1..9), so the order of the ids is the stored format.
class CommandRegistry : public QObject
{
    Q_OBJECT

public:
    struct Command
    {
        ShortcutCommand id;
        const char *text; // untranslated, in the "ShortcutSettingsDialog" context
        QString defaultKey;
        std::function<void()> handler;
    };

    // The keys work anywhere in the application while the window lives.
    explicit CommandRegistry(QWidget *window);

    // Adds a command with its stored key (or its default).
    void add(Command command);
    // The commands in the order of their ids.
    QList<Command> commands() const;
    // A command's name as the shortcut dialog shows it, translated.
    QString name(ShortcutCommand id) const;
    // The keys as stored, the defaults where none is, in the order of the ids.
    QStringList storedKeys() const;
    QStringList defaultKeys() const;
    // The keys in effect.
    QStringList keys() const;
    void setKeys(const QStringList &keys);
    // Stores the keys under the ids of the commands, in the order of commands().
    void storeKeys(const QStringList &keys) const;
    // Runs a command as its key would.
    void run(ShortcutCommand id);

signals:
    // A command with nothing behind it yet was asked for.
    void unavailable(const QString &name);

private:
    struct Entry
    {
        Command command;
        QShortcut *shortcut;
    };
    QWidget *m_window;
    std::map<int, Entry> m_entries;
};
