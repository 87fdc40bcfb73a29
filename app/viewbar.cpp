#include "viewbar.h"

#include "videowidget.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDebug>
#include <QHBoxLayout>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The zoom steps of the buttons, in percent.
const int kZoomSteps[] = {10, 25, 50, 75, 100, 150, 200, 300, 400};

QToolButton *barButton(QWidget *parent, const char *name, bool checkable = false)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setCheckable(checkable);
    button->setAutoRaise(true);
    return button;
}

} // namespace

ViewBar::ViewBar(QTabWidget *tabs, QWidget *parent) : QWidget(parent), m_tabs(tabs)
{
    QWidget *bar = this;
    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(2, 0, 2, 0);
    m_leftHideButton = barButton(bar, "leftHide_btn");
    m_leftHideButton->setIcon(QIcon(QStringLiteral(":/pic/cc_arrow_left.png")));
    m_zoomSubButton = barButton(bar, "zoomSub_btn");
    m_zoomSubButton->setText(QStringLiteral("-"));
    m_zoomBox = new QComboBox(bar);
    m_zoomBox->setObjectName(QStringLiteral("zoom_comboBox"));
    m_zoomBox->setMinimumWidth(110);
    m_zoomAddButton = barButton(bar, "zoomAdd_btn");
    m_zoomAddButton->setText(QStringLiteral("+"));
    m_fullScreenButton = barButton(bar, "fullScreen_btn", true);
    m_rightHideButton = barButton(bar, "rightHide_btn");
    m_rightHideButton->setIcon(QIcon(QStringLiteral(":/pic/cc_arrow_right.png")));
    layout->addWidget(m_leftHideButton);
    layout->addStretch();
    layout->addWidget(m_zoomSubButton);
    layout->addWidget(m_zoomBox);
    layout->addWidget(m_zoomAddButton);
    layout->addWidget(m_fullScreenButton);
    layout->addStretch();
    layout->addWidget(m_rightHideButton);

    // Fits first (their strategy codes as data), then the percentages.
    m_zoomBox->addItem(QString(), int(VideoScaleStrategy::FitToHeight));
    m_zoomBox->addItem(QString(), int(VideoScaleStrategy::FitToWidth));
    m_zoomBox->addItem(QString(), int(VideoScaleStrategy::FitToWindow));
    for (int percent : kZoomSteps)
        m_zoomBox->addItem(QStringLiteral("%1%").arg(percent), percent);
    m_zoomBox->setCurrentIndex(2);
    connect(m_zoomBox, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        VideoWidget *view = currentVideoWidget();
        if (!view)
            return;
        const int data = m_zoomBox->itemData(index).toInt();
        if (data < 0)
            view->onSetScaleStrategy(VideoScaleStrategy(data));
        else
            setViewScale(view, data);
    });
    connect(m_zoomAddButton, &QToolButton::clicked, this, [this] { applyZoomStep(1); });
    connect(m_zoomSubButton, &QToolButton::clicked, this, [this] { applyZoomStep(-1); });
    // The box shows the scale of the video window in front.
    connect(m_tabs, &QTabWidget::currentChanged, this, &ViewBar::showCurrentStrategy);
    showCurrentStrategy();
}

void ViewBar::showCurrentStrategy()
{
    if (VideoWidget *view = currentVideoWidget())
        m_zoomBox->setCurrentIndex(m_zoomBox->findData(int(view->scaleStrategy())));
}

VideoWidget *ViewBar::currentVideoWidget() const
{
    return qobject_cast<VideoWidget *>(m_tabs->currentWidget());
}

void ViewBar::applyZoomStep(int step)
{
    VideoWidget *view = currentVideoWidget();
    if (!view)
        return;
    // From the percentage shown now to the next step up or down.
    const double current = view->property("shownScale").isValid() ? view->property("shownScale").toDouble() : 100.0;
    int index = -1;
    if (step > 0) {
        for (int i = 0; i < int(std::size(kZoomSteps)) && index < 0; ++i) {
            if (kZoomSteps[i] > current + 0.01)
                index = i;
        }
    } else {
        for (int i = int(std::size(kZoomSteps)) - 1; i >= 0 && index < 0; --i) {
            if (kZoomSteps[i] < current - 0.01)
                index = i;
        }
    }
    if (index < 0)
        return;
    qInfo().noquote() << (step > 0 ? "zoom add, curNum=" : "zoom sub curNum=") << index << kZoomSteps[index];
    setViewScale(view, kZoomSteps[index]);
}

void ViewBar::setViewScale(VideoWidget *view, int percent)
{
    view->onSetScalePercent(percent);
    view->setProperty("shownScale", double(percent));
    m_zoomBox->setCurrentIndex(m_zoomBox->findData(percent));
}

void ViewBar::watch(VideoWidget *view)
{
    connect(view, &VideoWidget::videoWidgetScaleChanged, this,
            [this, view](double, double showScale, VideoScaleStrategy strategy) {
                view->setProperty("shownScale", showScale);
                if (view != currentVideoWidget())
                    return;
                const int index = m_zoomBox->findData(isFitStrategy(strategy) ? int(strategy) : qRound(showScale));
                m_zoomBox->setPlaceholderText(QStringLiteral("%1%").arg(showScale, 0, 'f', 2));
                m_zoomBox->setCurrentIndex(index);
            });
}

void ViewBar::retranslate()
{
    // The texts keep the main window's translation context, where they are translated.
    m_zoomBox->setItemText(0, QCoreApplication::translate("MainWindow2", "Fit to Height"));
    m_zoomBox->setItemText(1, QCoreApplication::translate("MainWindow2", "Fit to Width"));
    m_zoomBox->setItemText(2, QCoreApplication::translate("MainWindow2", "Fit to Window"));
    m_fullScreenButton->setText(QCoreApplication::translate("MainWindow2", "Full Screen"));
}
