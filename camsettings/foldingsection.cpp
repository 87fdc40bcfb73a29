#include "foldingsection.h"

#include <QFrame>
#include <QToolButton>
#include <QVBoxLayout>

FoldingSection::FoldingSection(QWidget *parent)
    : QWidget(parent)
    , m_header(new QToolButton(this))
    , m_content(new QFrame(this))
    , m_layout(new QVBoxLayout(m_content))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_header->setObjectName(QStringLiteral("section_header"));
    m_header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_header->setAutoRaise(true);
    m_header->setCheckable(true);
    m_header->setChecked(true);
    m_header->setArrowType(Qt::DownArrow);
    m_header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    static_cast<QFrame *>(m_content)->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_header);
    layout->addWidget(m_content);
    connect(m_header, &QToolButton::clicked, this, [this](bool open) {
        setFolded(!open);
        emit foldedChanged(!open);
    });
}

void FoldingSection::setTitle(const QString &title)
{
    m_header->setText(title);
}

bool FoldingSection::isFolded() const
{
    return !m_header->isChecked();
}

void FoldingSection::setFolded(bool folded)
{
    m_header->setChecked(!folded);
    m_header->setArrowType(folded ? Qt::RightArrow : Qt::DownArrow);
    m_content->setVisible(!folded);
}
