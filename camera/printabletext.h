#pragma once

#include <QString>

// Text a camera supplied (names, models, versions), made safe to print on one line or log:
// control and other invisible characters become escapes ("\t", "\n", "\r", "\u202e"), so that
// a camera can neither break a line into two nor hide what a line says.
QString printableText(const QString &text);
