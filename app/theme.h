#pragma once

#include <QString>

// The colour theme chosen in "Style Settings". It is read once at start-up; a change
// takes effect at the next start.
namespace Theme {

enum Index : int { Black = 0, White = 1 };

struct Info
{
    int index = Black;
    QString styleSheet; // resource path of the style sheet
    QString textColor;  // "#RRGGBB"
    QString iconPrefix; // resource folder of the theme's icons, ending in '/'
};

// The theme for a stored "InterfaceStyleProperty" value: 1 is white, anything else black.
Info forIndex(int index);

// Reads the stored theme, applies its style sheet to the application and remembers it.
void load();

// The theme applied by load().
const Info &current();

// Path of a themed icon, e.g. icon("help.svg").
QString icon(const QString &name);

// Stores a new theme for the next start. Returns false when it equals the current one
// (nothing stored).
bool change(int index);

} // namespace Theme
