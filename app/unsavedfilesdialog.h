#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QListWidget;

// Lists the pictures that would be lost when several tabs close at once: the operator saves
// the ticked ones, closes without saving, or cancels.
class UnsavedFilesDialog : public QDialog
{
    Q_OBJECT

public:
    struct UnsavedFileInfo
    {
        int tabIndex = -1;
        QString name;
    };
    enum Choice { Save, DontSave, Cancel };

    explicit UnsavedFilesDialog(const std::vector<UnsavedFileInfo> &infos, QWidget *parent = nullptr);

    Choice choice() const { return m_choice; }
    // The tabs ticked for saving (all at first).
    std::vector<int> tabsToSave() const;
    void setTicked(int row, bool ticked);

private:
    void finish(Choice choice);

    std::vector<UnsavedFileInfo> m_infos;
    QListWidget *m_list = nullptr;
    Choice m_choice = Cancel;
};
