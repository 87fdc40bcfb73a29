#pragma once

#include <QDialog>
#include <QMap>

class QCheckBox;

// "Page Editor": which parts of the pages are shown, per application scene (the display
// options of the current biology or industry mode). OK stores them and reports the change.
class PageEditorDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PageEditorDialog(QWidget *parent = nullptr);

    // The box of a display option (DisplayOptionsKey), or null.
    QCheckBox *option(int key) const { return m_boxes.value(key); }

signals:
    void displayOptionsChanged();

public slots:
    void accept() override;

private:
    QMap<int, QCheckBox *> m_boxes;
};
