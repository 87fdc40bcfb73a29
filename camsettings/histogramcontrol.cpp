// qcustomplot.h iterates with Qt's foreach, which the build turns off; this file itself does not use it.
#undef QT_NO_FOREACH

#include "histogramcontrol.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <qcustomplot.h>

namespace {

const QColor kChannelColours[3] = {Qt::red, Qt::green, Qt::blue};

} // namespace

HistogramControl::HistogramControl(QWidget *parent)
    : QWidget(parent)
    , m_enable(new QCheckBox(this))
    , m_channelLabel(new QLabel(this))
    , m_channel(new QComboBox(this))
    , m_modeLabel(new QLabel(this))
    , m_mode(new QComboBox(this))
    , m_plot(new QCustomPlot(this))
    , m_lowerLabel(new QLabel(this))
    , m_upperLabel(new QLabel(this))
    , m_auto(new QPushButton(this))
    , m_apply(new QPushButton(this))
    , m_replotTimer(new QTimer(this))
{
    m_enable->setObjectName(QStringLiteral("histogram_enable"));
    m_channel->setObjectName(QStringLiteral("histogram_channel"));
    m_mode->setObjectName(QStringLiteral("histogram_display_mode"));
    m_plot->setObjectName(QStringLiteral("histogram_plot"));
    m_auto->setObjectName(QStringLiteral("histogram_auto"));
    m_apply->setObjectName(QStringLiteral("histogram_apply"));
    m_replotTimer->setObjectName(QStringLiteral("histogram_replot_timer"));

    // Item data are the enum values, in the same order as the texts of retranslate().
    for (HistogramChannel c :
         {HistogramChannel::All, HistogramChannel::Red, HistogramChannel::Green, HistogramChannel::Blue})
        m_channel->addItem(QString(), int(c));
    for (HistogramDisplayMode m : {HistogramDisplayMode::Linear, HistogramDisplayMode::Logarithmic})
        m_mode->addItem(QString(), int(m));

    m_plot->setMinimumHeight(140);
    m_plot->xAxis->setRange(0, kLevelMax);
    for (const QColor &colour : kChannelColours) {
        QCPGraph *graph = m_plot->addGraph();
        graph->setPen(QPen(colour, 1));
        QColor fill = colour;
        fill.setAlpha(60);
        graph->setBrush(fill);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enable);
    auto *form = new QFormLayout;
    form->addRow(m_channelLabel, m_channel);
    form->addRow(m_modeLabel, m_mode);
    layout->addLayout(form);
    layout->addWidget(m_plot, 1);

    auto *levels = new QGridLayout;
    levels->addWidget(m_lowerLabel, 0, 1);
    levels->addWidget(m_upperLabel, 0, 2);
    const QVector<HistogramBoundaryInfo> defaults = defaultHistogramBoundaries();
    for (int c = 0; c < 3; ++c) {
        m_channelNames[c] = new QLabel(this);
        m_lower[c] = new QSpinBox(this);
        m_lower[c]->setObjectName(QStringLiteral("histogram_lower_%1").arg(c));
        m_lower[c]->setRange(0, kLevelMax - 1);
        m_lower[c]->setValue(defaults[c].lower);
        m_upper[c] = new QSpinBox(this);
        m_upper[c]->setObjectName(QStringLiteral("histogram_upper_%1").arg(c));
        m_upper[c]->setRange(1, kLevelMax);
        m_upper[c]->setValue(defaults[c].upper);
        levels->addWidget(m_channelNames[c], c + 1, 0);
        levels->addWidget(m_lower[c], c + 1, 1);
        levels->addWidget(m_upper[c], c + 1, 2);
        for (QSpinBox *box : {m_lower[c], m_upper[c]}) {
            // A level goes out once typed in, not at every digit on the way.
            box->setKeyboardTracking(false);
            const bool lower = box == m_lower[c];
            connect(box, qOverload<int>(&QSpinBox::valueChanged), this, [this, c, lower] { onBoundEdited(c, lower); });
        }
    }
    layout->addLayout(levels);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_auto);
    buttons->addWidget(m_apply);
    layout->addLayout(buttons);

    m_replotTimer->setSingleShot(true);
    m_replotTimer->setInterval(kReplotMs);
    connect(m_replotTimer, &QTimer::timeout, this, [this] {
        if (isVisible())
            replotNow();
    });
    connect(m_enable, &QCheckBox::toggled, this, &HistogramControl::onEnableToggled);
    connect(m_channel, qOverload<int>(&QComboBox::currentIndexChanged), this, &HistogramControl::onChoiceChanged);
    connect(m_mode, qOverload<int>(&QComboBox::currentIndexChanged), this, &HistogramControl::onChoiceChanged);
    connect(m_auto, &QPushButton::clicked, this, &HistogramControl::setHistogramCalcBoundariesOnce);
    connect(m_apply, &QPushButton::clicked, this, [this] { emit setHistogramBoundaries(boundaries(), kLevelMax); });

    retranslate();
    applyPalette();
}

void HistogramControl::retranslate()
{
    m_enable->setText(tr("Histogram"));
    m_channelLabel->setText(tr("Channel"));
    m_channel->setItemText(0, tr("All"));
    m_channel->setItemText(1, tr("Red"));
    m_channel->setItemText(2, tr("Green"));
    m_channel->setItemText(3, tr("Blue"));
    m_modeLabel->setText(tr("Display"));
    m_mode->setItemText(0, tr("Linear"));
    m_mode->setItemText(1, tr("Logarithmic"));
    m_lowerLabel->setText(tr("Low"));
    m_upperLabel->setText(tr("High"));
    m_channelNames[0]->setText(tr("Red"));
    m_channelNames[1]->setText(tr("Green"));
    m_channelNames[2]->setText(tr("Blue"));
    m_auto->setText(tr("Auto"));
    m_apply->setText(tr("Apply"));
}

void HistogramControl::applyPalette()
{
    const QPalette &pal = palette();
    const QColor text = pal.color(QPalette::Text);
    m_plot->setBackground(pal.base());
    for (QCPAxis *axis : {m_plot->xAxis, m_plot->yAxis}) {
        axis->setBasePen(QPen(text));
        axis->setTickPen(QPen(text));
        axis->setSubTickPen(QPen(text));
        axis->setTickLabelColor(text);
        axis->setLabelColor(text);
        axis->grid()->setPen(QPen(pal.color(QPalette::Mid), 1, Qt::DotLine));
    }
}

void HistogramControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        scheduleReplot();
    } else if (event->type() == QEvent::PaletteChange) {
        applyPalette();
        scheduleReplot();
    }
    QWidget::changeEvent(event);
}

void HistogramControl::showEvent(QShowEvent *event)
{
    // Histograms that came while hidden were kept, not drawn.
    scheduleReplot();
    QWidget::showEvent(event);
}

HistogramChannel HistogramControl::channel() const
{
    return HistogramChannel(m_channel->currentData().toInt());
}

HistogramDisplayMode HistogramControl::displayMode() const
{
    return HistogramDisplayMode(m_mode->currentData().toInt());
}

QVector<HistogramBoundaryInfo> HistogramControl::boundaries() const
{
    QVector<HistogramBoundaryInfo> infos;
    for (int c = 0; c < 3; ++c)
        infos.append({c, m_lower[c]->value(), m_upper[c]->value()});
    return infos;
}

void HistogramControl::onEnableToggled(bool enable)
{
    emit setHistogramStatus(enable);
    emit calcHistogramInfos(enable, channel(), displayMode());
}

void HistogramControl::onChoiceChanged()
{
    if (m_enable->isChecked())
        emit calcHistogramInfos(true, channel(), displayMode());
    scheduleReplot();
}

void HistogramControl::onBoundEdited(int channel, bool lower)
{
    QSpinBox *low = m_lower[channel], *high = m_upper[channel];
    if (low->value() >= high->value()) {
        if (lower) {
            const QSignalBlocker blocker(high);
            high->setValue(low->value() + 1);
        } else {
            const QSignalBlocker blocker(low);
            low->setValue(high->value() - 1);
        }
    }
    emit setHistogramBoundaries(boundaries(), kLevelMax);
}

void HistogramControl::onRecvHistogramInfos(QVector<HistogramChannelInfo> infos)
{
    m_infos = std::move(infos);
    scheduleReplot();
}

void HistogramControl::onRecvHistogramBoundaries(QVector<HistogramBoundaryInfo> infos)
{
    for (const HistogramBoundaryInfo &info : infos) {
        if (info.channel < 0 || info.channel > 2)
            continue;
        const QSignalBlocker lowBlocker(m_lower[info.channel]), highBlocker(m_upper[info.channel]);
        m_lower[info.channel]->setValue(info.lower);
        m_upper[info.channel]->setValue(info.upper);
    }
}

void HistogramControl::onRecvHistogramStatus(bool enable)
{
    const QSignalBlocker blocker(m_enable);
    m_enable->setChecked(enable);
}

void HistogramControl::scheduleReplot()
{
    if (!m_replotTimer->isActive())
        m_replotTimer->start();
}

void HistogramControl::replotNow()
{
    const bool logarithmic = displayMode() == HistogramDisplayMode::Logarithmic;
    const HistogramChannel shown = channel();
    QVector<double> keys(kLevelMax + 1);
    std::iota(keys.begin(), keys.end(), 0.0);
    double top = 1;
    for (int c = 0; c < 3; ++c) {
        QVector<double> counts(kLevelMax + 1, 0.0);
        for (const HistogramChannelInfo &info : qAsConst(m_infos)) {
            if (info.channel != c)
                continue;
            for (const QPointF &point : info.points) {
                const int value = int(point.x());
                if (value >= 0 && value <= kLevelMax)
                    counts[value] = logarithmic ? std::log10(1 + point.y()) : point.y();
            }
        }
        const bool visible = shown == HistogramChannel::All || int(shown) - 1 == c;
        QCPGraph *graph = m_plot->graph(c);
        graph->setData(keys, counts, true);
        graph->setVisible(visible);
        if (visible)
            top = std::max(top, *std::max_element(counts.cbegin(), counts.cend()));
    }
    m_plot->yAxis->setRange(0, top * 1.05);
    m_plot->yAxis->setLabel(logarithmic ? tr("Pixels (log10)") : tr("Pixels"));
    m_plot->replot();
}
