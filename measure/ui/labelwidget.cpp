#include "labelwidget.h"

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

} // namespace

LabelWidget::LabelWidget(QWidget *parent)
    : QWidget(parent), m_cross(new QCheckBox(this)), m_grid(new QCheckBox(this)), m_watermark(new QPushButton(this))
{
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
    layout->addWidget(m_watermark);
    layout->addStretch();
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
}
