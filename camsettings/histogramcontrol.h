#pragma once

#include "histogramtypes.h"

#include <QVector>
#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;
class QCustomPlot;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

// The histogram group of the camera panel: turns the levels correction and the histogram on,
// plots the channels the camera measures and edits the levels (lower and upper bound per
// channel). However fast histograms arrive, the plot is drawn at most every kReplotMs.
class HistogramControl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kReplotMs = 100;
    // The highest level, sent with the boundaries.
    static constexpr int kLevelMax = 255;

    explicit HistogramControl(QWidget *parent = nullptr);

    // The levels shown, one entry per channel 0, 1, 2.
    QVector<HistogramBoundaryInfo> boundaries() const;

signals:
    void setHistogramStatus(bool enable);
    void calcHistogramInfos(bool start, HistogramChannel channel, HistogramDisplayMode mode);
    void setHistogramBoundaries(QVector<HistogramBoundaryInfo> infos, int max);
    void setHistogramCalcBoundariesOnce();

public slots:
    void onRecvHistogramInfos(QVector<HistogramChannelInfo> infos);
    // The camera's state, shown without sending anything back.
    void onRecvHistogramBoundaries(QVector<HistogramBoundaryInfo> infos);
    void onRecvHistogramStatus(bool enable);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void retranslate();
    void applyPalette();
    HistogramChannel channel() const;
    HistogramDisplayMode displayMode() const;
    void onEnableToggled(bool enable);
    void onChoiceChanged();
    // A bound edited by the operator: the other bound of the channel makes way, then the
    // levels go to the camera.
    void onBoundEdited(int channel, bool lower);
    void scheduleReplot();
    void replotNow();

    QCheckBox *m_enable = nullptr;
    QLabel *m_channelLabel = nullptr;
    QComboBox *m_channel = nullptr;
    QLabel *m_modeLabel = nullptr;
    QComboBox *m_mode = nullptr;
    QCustomPlot *m_plot = nullptr;
    QLabel *m_lowerLabel = nullptr;
    QLabel *m_upperLabel = nullptr;
    std::array<QLabel *, 3> m_channelNames{};
    std::array<QSpinBox *, 3> m_lower{};
    std::array<QSpinBox *, 3> m_upper{};
    QPushButton *m_auto = nullptr;
    QPushButton *m_apply = nullptr;
    QTimer *m_replotTimer = nullptr;
    QVector<HistogramChannelInfo> m_infos; // the latest histogram, drawn at the next replot
};
