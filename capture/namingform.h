#pragma once

#include <QString>

class QComboBox;
class QDialog;
class QFormLayout;
class QTimeEdit;
class QWidget;

// The controls the photo and video settings dialogs share: how files are named, countdowns
// in hours, minutes and seconds, and the box that only closes (changes are kept as made).
namespace NamingForm {

template<typename W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// The time-stamp formats ("timeNaming_comboBox") and the index digits 4 to 6
// ("autoIndexDigit_comboBox"), in the order their stored indices count.
QComboBox *timeFormatBox();
QComboBox *digitsBox();
// An "hh:mm:ss" editor of a countdown.
QTimeEdit *secondsEdit(const char *name);
// The refused-characters message for a file-name prefix, without blocking the dialog.
void warnRefusedPrefix(QWidget *parent);
void addCloseButton(QDialog *dialog, QFormLayout *form);

} // namespace NamingForm
