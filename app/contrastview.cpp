#include "contrastview.h"

#include "frameconversion.h"
#include "videowidget.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QSplitter>
#include <QVBoxLayout>

ContrastView::ContrastView(QList<Source> sources, int left, int right, QWidget *parent)
    : QWidget(parent), m_sources(std::move(sources))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    layout->addWidget(splitter);
    const int first[2] = {left, right};
    for (Side side : {Left, Right}) {
        auto *column = new QWidget(splitter);
        auto *columnLayout = new QVBoxLayout(column);
        columnLayout->setContentsMargins(0, 0, 0, 0);
        columnLayout->setSpacing(2);
        m_choosers[side] = new QComboBox(column);
        for (const Source &source : std::as_const(m_sources))
            m_choosers[side]->addItem(source.name);
        m_panes[side] = new VideoWidget(column);
        columnLayout->addWidget(m_choosers[side]);
        columnLayout->addWidget(m_panes[side], 1);
        splitter->addWidget(column);
        m_choosers[side]->setCurrentIndex(first[side]);
        connect(m_choosers[side], QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [this, side](int index) { showSource(side, index); });
    }
    splitter->setSizes({1, 1});
}

void ContrastView::showEvent(QShowEvent *event)
{
    // A picture view draws once it is on screen.
    QWidget::showEvent(event);
    for (Side side : {Left, Right})
        showSource(side, m_choosers[side]->currentIndex());
}

void ContrastView::showSource(Side side, int index)
{
    if (index < 0 || index >= m_sources.size())
        return;
    const QImage &picture = m_sources[index].picture;
    m_live[side] = picture.isNull();
    if (!m_live[side])
        m_panes[side]->onFrame(videoFrameFromQImage(picture));
}

void ContrastView::onLiveFrame(VideoFrame frame)
{
    for (Side side : {Left, Right}) {
        if (m_live[side])
            m_panes[side]->onFrame(frame);
    }
}

void ContrastView::clearLive()
{
    for (Side side : {Left, Right}) {
        if (m_live[side])
            m_panes[side]->clear();
    }
}
