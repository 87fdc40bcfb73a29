#include "commandregistry.h"

#include "configstore.h"

#include <QCoreApplication>
#include <QShortcut>

CommandRegistry::CommandRegistry(QWidget *window) : QObject(window), m_window(window) {}

void CommandRegistry::add(Command command)
{
    const QString key = ConfigStore::instance()
                            .value(ConfigGroup::Shortcut, ShortcutKey::Snap + command.id, command.defaultKey)
                            .toString();
    auto *shortcut = new QShortcut(QKeySequence(key), m_window);
    shortcut->setContext(Qt::ApplicationShortcut);
    const ShortcutCommand id = command.id;
    connect(shortcut, &QShortcut::activated, this, [this, id] { run(id); });
    m_entries.insert_or_assign(int(id), Entry{std::move(command), shortcut});
}

QList<CommandRegistry::Command> CommandRegistry::commands() const
{
    QList<Command> list;
    for (const auto &[id, entry] : m_entries)
        list << entry.command;
    return list;
}

QString CommandRegistry::name(ShortcutCommand id) const
{
    const auto found = m_entries.find(int(id));
    return found == m_entries.end() ? QString()
                                    : QCoreApplication::translate("ShortcutSettingsDialog", found->second.command.text);
}

QStringList CommandRegistry::storedKeys() const
{
    QStringList keys;
    for (const auto &[id, entry] : m_entries)
        keys << ConfigStore::instance()
                    .value(ConfigGroup::Shortcut, ShortcutKey::Snap + id, entry.command.defaultKey)
                    .toString();
    return keys;
}

QStringList CommandRegistry::defaultKeys() const
{
    QStringList keys;
    for (const auto &[id, entry] : m_entries)
        keys << entry.command.defaultKey;
    return keys;
}

QStringList CommandRegistry::keys() const
{
    QStringList keys;
    for (const auto &[id, entry] : m_entries)
        keys << entry.shortcut->key().toString(QKeySequence::PortableText);
    return keys;
}

void CommandRegistry::setKeys(const QStringList &keys)
{
    int i = 0;
    for (auto &[id, entry] : m_entries) {
        if (i < keys.size())
            entry.shortcut->setKey(QKeySequence(keys[i]));
        ++i;
    }
}

void CommandRegistry::storeKeys(const QStringList &keys) const
{
    int i = 0;
    for (const auto &[id, entry] : m_entries) {
        if (i < keys.size())
            ConfigStore::instance().write(ConfigGroup::Shortcut, ShortcutKey::Snap + id, keys[i]);
        ++i;
    }
}

void CommandRegistry::run(ShortcutCommand id)
{
    const auto found = m_entries.find(int(id));
    if (found == m_entries.end())
        return;
    if (found->second.command.handler)
        found->second.command.handler();
    else
        emit unavailable(name(id));
}
