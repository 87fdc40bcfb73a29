#pragma once

#include <QDialog>
#include <QPointer>

class Base;
class MainScene;
class QLineEdit;

// Where the operator types the text of a placed free-text shape. Not modal, so that the picture
// stays in sight and usable. OK sets the text as an undo step; empty text deletes the shape.
// Cancelling a text just placed takes it away again; cancelling a later edit changes nothing.
class LTextEditDialog : public QDialog
{
    Q_OBJECT
public:
    LTextEditDialog(MainScene *scene, Base *tool, QWidget *parent = nullptr);
    // Opens an editor for the shape (the answer to MainScene::ltextEdit); it deletes itself on closing.
    static LTextEditDialog *edit(MainScene *scene, Base *tool, QWidget *parent);
    void accept() override;
    void reject() override;

private:
    QPointer<MainScene> m_scene;
    QPointer<Base> m_tool;
    QLineEdit *m_text;
};
