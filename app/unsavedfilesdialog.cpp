#include "unsavedfilesdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

UnsavedFilesDialog::UnsavedFilesDialog(const std::vector<UnsavedFileInfo> &infos, QWidget *parent)
    : QDialog(parent), m_infos(infos)
{
    setWindowTitle(tr("Notice"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Do you want to exit without saving?"), this));
    m_list = new QListWidget(this);
    for (const UnsavedFileInfo &info : m_infos) {
        auto *item = new QListWidgetItem(info.name, m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *save = buttons->addButton(tr("Save"), QDialogButtonBox::AcceptRole);
    QPushButton *discard = buttons->addButton(tr("Don't Save"), QDialogButtonBox::DestructiveRole);
    QPushButton *cancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, [this] { finish(Save); });
    connect(discard, &QPushButton::clicked, this, [this] { finish(DontSave); });
    connect(cancel, &QPushButton::clicked, this, [this] { finish(Cancel); });
    layout->addWidget(buttons);
}

void UnsavedFilesDialog::finish(Choice choice)
{
    m_choice = choice;
    if (choice == Cancel)
        reject();
    else
        accept();
}

std::vector<int> UnsavedFilesDialog::tabsToSave() const
{
    std::vector<int> tabs;
    for (int row = 0; row < m_list->count(); ++row) {
        if (m_list->item(row)->checkState() == Qt::Checked)
            tabs.push_back(m_infos[size_t(row)].tabIndex);
    }
    return tabs;
}

void UnsavedFilesDialog::setTicked(int row, bool ticked)
{
    if (QListWidgetItem *item = m_list->item(row))
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}
