#pragma once

#include "histogramtypes.h"
#include "pixelcorrector.h"
#include "videoframe.h"

#include <QMutex>
#include <QObject>
#include <QTimer>
#include <QVector>
#include <array>
#include <vector>

class RGB24BufferInterface;

// The software picture corrections (flat-field, black balance, negative, histogram levels)
// and the measurements they need (black-balance offsets, flat-field reference, histograms).
// Lives on a worker thread of its owner; process() is called directly from the reading
// thread. Every field is guarded by one mutex, so a frame is corrected with one consistent
// set of parameters.
class ImageProcess : public QObject
{
    Q_OBJECT

public:
    explicit ImageProcess(QObject *parent = nullptr);
    ~ImageProcess() override;

    // The frame with the active corrections applied, in a new RGB24 buffer; the frame itself
    // when no correction is active or its buffer is neither I420 nor RGB24.
    VideoFrame process(const VideoFrame &frame);
    // Whether process() would change a frame.
    bool anyCorrection() const;

signals:
    void sendBlackBalance(int red, int green, int blue);
    void sendFFCAverageFrame(VideoFrame frame);
    void sendFFCCurrentCaptureNum(int num);
    void sendHistogramBoundaries(QVector<HistogramBoundaryInfo> infos);
    void sendHistogramInfos(QVector<HistogramChannelInfo> infos);
    // Asks the owner for the next frame, answered through onRecvVideoFrameForProcess.
    void getVideoFrameForProcess();

public slots:
    void onSetNegative(bool negative);
    void onSetBlackBalance(int red, int green, int blue);
    void onSetBlackBalanceR(int value);
    void onSetBlackBalanceG(int value);
    void onSetBlackBalanceB(int value);
    void onSetBlackBalanceRegion(bool enable, int x, int y, int width, int height);
    void onCalcBlackBalance();
    void onSetFFCStatus(bool enable);
    void onStartFFCCapture(int num);
    // Replaces the reference (a stored one loaded from a file); the channel means stay as they are.
    void onSetFFCAverageFrame(VideoFrame frame);
    void onCalcHistogramBoundariesOnce();
    void onSetHistogramStatus(bool enable);
    void onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos);
    void onCalcHistogramInfos(bool start, HistogramChannel channel, HistogramDisplayMode mode);
    void onRecvVideoFrameForProcess(VideoFrame frame);
    void onActiveHistogramCalc();

private:
    // All *Locked functions expect m_mutex to be held.
    bool anyCorrectionLocked() const;
    void prepareCorrectorLocked(bool withLevels);
    // Reference rows laid out like a width x height frame; null when flat-field correction
    // does not apply to such a frame.
    const std::uint8_t *flatFieldRowsLocked(int width, int height, int &stride);
    void correctLocked(const std::uint8_t *src, int srcStride, std::uint8_t *dst, int dstStride, int width, int height,
                       bool withLevels);
    void calcBlackBalanceLocked(const RGB24BufferInterface &frame);
    void captureFFCFrameLocked(const RGB24BufferInterface &frame);
    void calcHistogramLocked(const RGB24BufferInterface &frame);

    mutable QMutex m_mutex;

    bool m_negative = false;
    std::array<int, 3> m_blackBalance{0, 0, 0};

    bool m_blackBalanceRequest = false;
    bool m_blackBalanceRegionEnabled = false;
    int m_regionX = 0;
    int m_regionY = 0;
    int m_regionWidth = 0;
    int m_regionHeight = 0;

    bool m_ffcEnabled = false;
    int m_ffcRequested = 0;
    int m_ffcCaptured = 0;
    std::vector<std::uint32_t> m_ffcSums;
    VideoFrame m_ffcReference;
    std::shared_ptr<RGB24BufferInterface> m_ffcReferenceRgb; // m_ffcReference as RGB24
    std::array<float, 3> m_ffcMeans{0.f, 0.f, 0.f};
    // The reference re-cut into rows of another width with the same pixel count.
    std::vector<std::uint8_t> m_ffcReshaped;
    int m_ffcReshapedWidth = 0;

    bool m_boundariesOnceRequest = false;
    bool m_calcNowRequest = false;
    bool m_levelsEnabled = false;
    QVector<HistogramBoundaryInfo> m_boundaries;
    HistogramChannel m_histogramChannel = HistogramChannel::All;
    HistogramDisplayMode m_histogramDisplayMode = HistogramDisplayMode::Linear;
    QTimer *m_histogramTimer;

    PixelCorrector m_corrector;          // for process()
    PixelCorrector m_histogramCorrector; // without levels, for the histograms
};
