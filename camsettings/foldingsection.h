#pragma once

#include <QWidget>

class QToolButton;
class QVBoxLayout;

// A titled box of the panel that folds to its title: a click on the title shows or hides what
// it holds.
class FoldingSection : public QWidget
{
    Q_OBJECT

public:
    explicit FoldingSection(QWidget *parent = nullptr);

    QVBoxLayout *contentLayout() const { return m_layout; }
    QWidget *content() const { return m_content; }
    void setTitle(const QString &title);
    bool isFolded() const;
    void setFolded(bool folded);

signals:
    // The operator folded (true) or opened the section.
    void foldedChanged(bool folded);

private:
    QToolButton *m_header = nullptr;
    QWidget *m_content = nullptr;
    QVBoxLayout *m_layout = nullptr;
};
