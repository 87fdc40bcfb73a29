#include "namingform.h"

#include "constants.h"
#include "photonaming.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QMessageBox>
#include <QTimeEdit>

namespace NamingForm {

QComboBox *timeFormatBox()
{
    auto *box = named(new QComboBox, "timeNaming_comboBox");
    for (const char *format : Constants::kTimeNamingFormats)
        box->addItem(QString::fromLatin1(format));
    return box;
}

QComboBox *digitsBox()
{
    auto *box = named(new QComboBox, "autoIndexDigit_comboBox");
    for (const char *digits : {QT_TRANSLATE_NOOP("NamingForm", "4 digits"), QT_TRANSLATE_NOOP("NamingForm", "5 digits"),
                               QT_TRANSLATE_NOOP("NamingForm", "6 digits")})
        box->addItem(QCoreApplication::translate("NamingForm", digits));
    return box;
}

QTimeEdit *secondsEdit(const char *name)
{
    auto *edit = named(new QTimeEdit, name);
    edit->setDisplayFormat(QStringLiteral("hh:mm:ss"));
    return edit;
}

void warnRefusedPrefix(QWidget *parent)
{
    auto *box = new QMessageBox(QMessageBox::Warning, QCoreApplication::translate("NamingForm", "Warning"),
                                PhotoNaming::prefixError(), QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void addCloseButton(QDialog *dialog, QFormLayout *form)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    form->addRow(buttons);
}

} // namespace NamingForm
