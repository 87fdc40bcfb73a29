#include "labelwidget.h"

#include "crosslinesetdialog.h"
#include "gridlinessetdialog.h"
#include "markingsetdialog.h"
#include "textpropertysetdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const struct
{
    DrawType type;
    const char *objectName;
    const char *text;
} kMarks[] = {{DrawType::MarkRect, "drawMarkRect_btn", QT_TRANSLATE_NOOP("LabelWidget", "Rectangle")},
              {DrawType::MarkCir, "drawMarkCircle_btn", QT_TRANSLATE_NOOP("LabelWidget", "Circle")},
              {DrawType::MarkArrow, "drawMarkArrow_btn", QT_TRANSLATE_NOOP("LabelWidget", "Arrow")},
              {DrawType::MarkAnyLine, "drawMarkAnyLine_btn", QT_TRANSLATE_NOOP("LabelWidget", "Free Line")},
              {DrawType::LText, "drawText_Btn", QT_TRANSLATE_NOOP("LabelWidget", "Text")}};

// The settings buttons: object name and text.
const struct
{
    const char *objectName;
    const char *text;
} kSettings[] = {{"markSet_btn", QT_TRANSLATE_NOOP("LabelWidget", "Marking Settings")},
                 {"textSet_btn", QT_TRANSLATE_NOOP("LabelWidget", "Text Settings")},
                 {"crossLineSet_btn", QT_TRANSLATE_NOOP("LabelWidget", "Cross Line Settings")},
                 {"crossReset_btn", QT_TRANSLATE_NOOP("LabelWidget", "Reset Cross Line")},
                 {"gridlinesSet_btn", QT_TRANSLATE_NOOP("LabelWidget", "Grid Line Settings")},
                 {"gridReset_btn", QT_TRANSLATE_NOOP("LabelWidget", "Reset Grid Line")}};

} // namespace

LabelWidget::LabelWidget(QWidget *parent)
    : QWidget(parent), m_cross(new QCheckBox(this)), m_grid(new QCheckBox(this)), m_watermark(new QPushButton(this))
{
    qRegisterMetaType<QMap<DrawProperty, QVariant>>();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *grid = new QGridLayout;
    for (const auto &mark : kMarks) {
        auto *button = new QPushButton(this);
        button->setObjectName(QLatin1String(mark.objectName));
        const DrawType type = mark.type;
        connect(button, &QPushButton::clicked, this, [this, type] { emit signalSetDrawMode(type); });
        grid->addWidget(button, m_markButtons.size() / 2, m_markButtons.size() % 2);
        m_markButtons.append(button);
    }
    layout->addLayout(grid);
    m_cross->setObjectName(QStringLiteral("cross_cBox"));
    m_grid->setObjectName(QStringLiteral("gridlines_cBox"));
    m_watermark->setObjectName(QStringLiteral("watermark_btn"));
    layout->addWidget(m_cross);
    layout->addWidget(m_grid);
    auto *settings = new QGridLayout;
    for (const auto &setting : kSettings) {
        auto *button = new QPushButton(this);
        button->setObjectName(QLatin1String(setting.objectName));
        settings->addWidget(button, m_settingButtons.size() / 2, m_settingButtons.size() % 2);
        m_settingButtons.append(button);
    }
    layout->addLayout(settings);
    layout->addWidget(m_watermark);
    layout->addStretch();
    QMetaObject::connectSlotsByName(this);
    connect(m_cross, &QCheckBox::toggled, this, &LabelWidget::onShowCross);
    connect(m_grid, &QCheckBox::toggled, this, &LabelWidget::signalEnableGridlines);
    connect(m_watermark, &QPushButton::clicked, this, &LabelWidget::watermarkRequested);
    retranslate();
}

void LabelWidget::retranslate()
{
    for (int i = 0; i < m_markButtons.size(); ++i)
        m_markButtons[i]->setText(tr(kMarks[i].text));
    m_cross->setText(tr("Cross Line"));
    m_grid->setText(tr("Grid Line"));
    m_watermark->setText(tr("Watermark"));
    for (int i = 0; i < m_settingButtons.size(); ++i)
        m_settingButtons[i]->setText(tr(kSettings[i].text));
}

QMap<DrawProperty, QVariant> LabelWidget::storedProperties()
{
    QMap<DrawProperty, QVariant> map = MarkingSetDialog::stored();
    map.insert(TextPropertySetDialog::stored());
    map.insert(CrossLineSetDialog::stored());
    map.insert(GridLinesSetDialog::stored());
    return map;
}

void LabelWidget::openDialog(DrawPropertyDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &DrawPropertyDialog::signalDrawChange, this, &LabelWidget::signalDrawChange);
    dialog->open();
}

void LabelWidget::on_markSet_btn_clicked()
{
    openDialog(new MarkingSetDialog(this));
}

void LabelWidget::on_textSet_btn_clicked()
{
    openDialog(new TextPropertySetDialog(this));
}

void LabelWidget::on_crossLineSet_btn_clicked()
{
    openDialog(new CrossLineSetDialog(this));
}

void LabelWidget::on_gridlinesSet_btn_clicked()
{
    openDialog(new GridLinesSetDialog(this));
}

void LabelWidget::on_crossReset_btn_clicked()
{
    DrawPropertyDialog::forget(CrossLineSetDialog::keys());
    emit signalDrawChange(CrossLineSetDialog::stored());
}

void LabelWidget::on_gridReset_btn_clicked()
{
    DrawPropertyDialog::forget(GridLinesSetDialog::keys());
    emit signalDrawChange(GridLinesSetDialog::stored());
}
