#include "ltexteditdialog.h"

#include "base.h"
#include "graphicsitems.h"
#include "mainscene.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QVBoxLayout>

LTextEditDialog::LTextEditDialog(MainScene *scene, Base *tool, QWidget *parent)
    : QDialog(parent), m_scene(scene), m_tool(tool), m_text(new QLineEdit(this))
{
    setWindowTitle(tr("Text"));
    m_text->setObjectName(QStringLiteral("text_lineEdit"));
    // A text just placed shows a placeholder: the operator types over it.
    m_text->setText(tool->label()->text());
    m_text->selectAll();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

LTextEditDialog *LTextEditDialog::edit(MainScene *scene, Base *tool, QWidget *parent)
{
    auto *dialog = new LTextEditDialog(scene, tool, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    // The operator types at once, without clicking into it first.
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

void LTextEditDialog::accept()
{
    // The shape may have been undone or deleted meanwhile: the scene ignores it then.
    if (m_scene && m_tool)
        m_scene->setShapeText(m_tool, m_text->text());
    QDialog::accept();
}

void LTextEditDialog::reject()
{
    if (m_scene && m_tool && m_scene->isTextPending(m_tool))
        m_scene->setShapeText(m_tool, QString());
    QDialog::reject();
}
