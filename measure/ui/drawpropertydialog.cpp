#include "drawpropertydialog.h"

#include "configstore.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>

namespace {

const QColor kDefaultColour(255, 0, 0, 255);

// Qt's pen styles from solid (1) on, as the settings store them.
const char *const kStyles[] = {QT_TRANSLATE_NOOP("PenStyleEditor", "Solid"),
                               QT_TRANSLATE_NOOP("PenStyleEditor", "Dash"), QT_TRANSLATE_NOOP("PenStyleEditor", "Dot"),
                               QT_TRANSLATE_NOOP("PenStyleEditor", "Dash Dot"),
                               QT_TRANSLATE_NOOP("PenStyleEditor", "Dash Dot Dot")};

} // namespace

ColourButton::ColourButton(QWidget *parent) : QPushButton(parent)
{
    connect(this, &QPushButton::clicked, this, [this] {
        const QColor colour = QColorDialog::getColor(m_colour, this, QString(), QColorDialog::ShowAlphaChannel);
        if (!colour.isValid())
            return;
        setColour(colour);
        emit colourChosen(colour);
    });
}

void ColourButton::setColour(const QColor &colour)
{
    m_colour = colour;
    setText(colour.name());
    setStyleSheet(QStringLiteral("background-color: %1").arg(colour.name()));
}

PenStyleEditor::PenStyleEditor(DrawProperty colour, DrawProperty width, DrawProperty style, QWidget *parent)
    : QWidget(parent)
    , m_keys{colour, width, style}
    , m_colour(new ColourButton(this))
    , m_width(new QDoubleSpinBox(this))
    , m_style(new QComboBox(this))
{
    const QString name = drawPropertyName(colour).chopped(int(qstrlen("Color")));
    m_colour->setObjectName(name + QStringLiteral("_color"));
    m_width->setObjectName(name + QStringLiteral("_width"));
    m_style->setObjectName(name + QStringLiteral("_style"));
    m_width->setRange(1, 50);
    m_width->setDecimals(0);
    for (int i = 0; i < int(std::size(kStyles)); ++i)
        m_style->addItem(tr(kStyles[i]), int(Qt::SolidLine) + i);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_colour);
    row->addWidget(m_width);
    row->addWidget(m_style);
    showProperties(stored(colour, width, style));
}

DrawProperties PenStyleEditor::properties() const
{
    return {{m_keys[0], m_colour->colour()}, {m_keys[1], int(m_width->value())}, {m_keys[2], m_style->currentData()}};
}

void PenStyleEditor::showProperties(const DrawProperties &properties)
{
    if (properties.contains(m_keys[0]))
        m_colour->setColour(properties.value(m_keys[0]).value<QColor>());
    if (properties.contains(m_keys[1]))
        m_width->setValue(properties.value(m_keys[1]).toDouble());
    if (properties.contains(m_keys[2])) {
        const int index = m_style->findData(properties.value(m_keys[2]).toInt());
        m_style->setCurrentIndex(std::max(index, 0));
    }
}

DrawProperties PenStyleEditor::stored(DrawProperty colour, DrawProperty width, DrawProperty style)
{
    const QColor c = DrawPropertyDialog::storedValue(colour, kDefaultColour).value<QColor>();
    const int w = DrawPropertyDialog::storedValue(width, 1).toInt();
    const int s = DrawPropertyDialog::storedValue(style, int(Qt::SolidLine)).toInt();
    return {{colour, c.isValid() ? c : kDefaultColour},
            {width, w > 0 ? w : 1},
            {style, s >= Qt::SolidLine && s <= Qt::DashDotDotLine ? s : int(Qt::SolidLine)}};
}

DrawPropertyDialog::DrawPropertyDialog(QWidget *parent) : QDialog(parent), m_form(new QFormLayout(this)) {}

void DrawPropertyDialog::addButtons()
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    m_form->addRow(buttons);
}

void DrawPropertyDialog::accept()
{
    const DrawProperties map = properties();
    ConfigStore &store = ConfigStore::instance();
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        store.write(it.key(), it.value());
    emit signalDrawChange(map);
    QDialog::accept();
}

QVariant DrawPropertyDialog::storedValue(DrawProperty key, const QVariant &fallback)
{
    return ConfigStore::instance().value(key, fallback);
}

void DrawPropertyDialog::forget(const QList<DrawProperty> &keys)
{
    ConfigStore &store = ConfigStore::instance();
    for (DrawProperty key : keys)
        store.write(key, QVariant());
}
