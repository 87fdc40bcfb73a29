#pragma once

#include "drawproperty.h"

#include <QDialog>
#include <QMap>
#include <QPushButton>
#include <QVariant>

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;

using DrawProperties = QMap<DrawProperty, QVariant>;

// A button showing a colour; clicking it asks for another.
class ColourButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ColourButton(QWidget *parent = nullptr);
    QColor colour() const { return m_colour; }
    void setColour(const QColor &colour);

signals:
    // The operator picked a colour in the colour dialog.
    void colourChosen(const QColor &colour);

private:
    QColor m_colour;
};

// Colour, width and style of one kind of line, bound to its three drawing properties.
class PenStyleEditor : public QWidget
{
    Q_OBJECT
public:
    PenStyleEditor(DrawProperty colour, DrawProperty width, DrawProperty style, QWidget *parent = nullptr);
    DrawProperties properties() const;
    // Shows the entries of the map for its keys.
    void showProperties(const DrawProperties &properties);
    // The stored values of the three keys, defaults where absent.
    static DrawProperties stored(DrawProperty colour, DrawProperty width, DrawProperty style);

private:
    DrawProperty m_keys[3];
    ColourButton *m_colour;
    QDoubleSpinBox *m_width;
    QComboBox *m_style;
};

// A dialog over some drawing properties: OK stores them in the drawing settings and sends them
// as signalDrawChange. Subclasses add their rows to form() and call addButtons() last.
class DrawPropertyDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DrawPropertyDialog(QWidget *parent = nullptr);
    // What the controls show.
    virtual DrawProperties properties() const = 0;
    void accept() override;

    // The stored value of a key, or the fallback where none is stored.
    static QVariant storedValue(DrawProperty key, const QVariant &fallback);
    // Forgets the stored keys, so that their defaults apply again.
    static void forget(const QList<DrawProperty> &keys);

signals:
    void signalDrawChange(QMap<DrawProperty, QVariant> properties);

protected:
    QFormLayout *form() const { return m_form; }
    void addButtons();

private:
    QFormLayout *m_form;
};
