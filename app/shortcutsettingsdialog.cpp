#include "shortcutsettingsdialog.h"

#include "configstore.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeySequenceEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

KeyFunction ShortcutSettingsDialog::storedMouseWheel()
{
    const int value = ConfigStore::instance().value(ConfigGroup::KeyBind, KeyBindKey::MouseWheel, 0).toInt();
    return value == AdjustFocus || value == AdjustZoom ? KeyFunction(value) : ZoomVideoWindow;
}

int ShortcutSettingsDialog::firstRepeatedKey(const QStringList &keys)
{
    for (int i = 0; i < keys.size(); ++i) {
        if (keys[i].isEmpty())
            continue;
        const QKeySequence key(keys[i]);
        for (int j = 0; j < i; ++j) {
            if (!keys[j].isEmpty() && QKeySequence(keys[j]) == key)
                return i;
        }
    }
    return -1;
}

ShortcutSettingsDialog::ShortcutSettingsDialog(const CommandRegistry &commands, QWidget *parent)
    : QDialog(parent)
    , m_commands(commands)
{
    setWindowTitle(tr("Shortcut Key Settings"));
    auto *layout = new QVBoxLayout(this);
    auto *pages = new QTabWidget(this);

    auto *wheelPage = new QWidget(pages);
    auto *wheelLayout = new QVBoxLayout(wheelPage);
    m_wheel = new QButtonGroup(this);
    const std::pair<KeyFunction, const char *> wheelChoices[] = {
        {AdjustFocus, QT_TR_NOOP("Focus")}, {AdjustZoom, QT_TR_NOOP("Zoom")}, {ZoomVideoWindow, QT_TR_NOOP("Zoom video window")}};
    for (const auto &[function, text] : wheelChoices) {
        auto *button = new QRadioButton(tr(text), wheelPage);
        m_wheel->addButton(button, function);
        wheelLayout->addWidget(button);
    }
    wheelLayout->addStretch();
    m_wheel->button(storedMouseWheel())->setChecked(true);
    pages->addTab(wheelPage, tr("Mouse wheel settings"));

    const QList<CommandRegistry::Command> list = commands.commands();
    auto *table = new QTableWidget(list.size(), 2, pages);
    table->setHorizontalHeaderLabels({tr("Command"), tr("Shortcut Key")});
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    for (int i = 0; i < list.size(); ++i) {
        auto *name = new QTableWidgetItem(commands.name(list[i].id));
        name->setFlags(Qt::ItemIsEnabled);
        table->setItem(i, 0, name);
        auto *edit = new QKeySequenceEdit(table);
        m_edits << edit;
        table->setCellWidget(i, 1, edit);
    }
    setShortcuts(commands.storedKeys());
    pages->addTab(table, tr("Hotkey settings"));
    layout->addWidget(pages);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    QPushButton *reset = buttons->addButton(tr("Reset"), QDialogButtonBox::ResetRole);
    connect(reset, &QPushButton::clicked, this, [this] { setShortcuts(m_commands.defaultKeys()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &ShortcutSettingsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ShortcutSettingsDialog::reject);
    layout->addWidget(buttons);
    resize(460, 420);
}

QStringList ShortcutSettingsDialog::shortcuts() const
{
    QStringList keys;
    for (const QKeySequenceEdit *edit : m_edits)
        keys << edit->keySequence().toString(QKeySequence::PortableText);
    return keys;
}

void ShortcutSettingsDialog::setShortcuts(const QStringList &keys)
{
    for (int i = 0; i < m_edits.size(); ++i)
        m_edits[i]->setKeySequence(QKeySequence(keys.value(i)));
}

KeyFunction ShortcutSettingsDialog::mouseWheel() const
{
    return KeyFunction(m_wheel->checkedId());
}

void ShortcutSettingsDialog::accept()
{
    const QStringList keys = shortcuts();
    if (firstRepeatedKey(keys) >= 0) {
        QMessageBox::warning(this, tr("warning"), tr("Hotkey settings repeat."));
        return;
    }
    m_commands.storeKeys(keys);
    ConfigStore::instance().write(ConfigGroup::KeyBind, KeyBindKey::MouseWheel, int(mouseWheel()));
    emit shortcutsChanged(keys);
    emit mouseWheelChanged(mouseWheel());
    QDialog::accept();
}
