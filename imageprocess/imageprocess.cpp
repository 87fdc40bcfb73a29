#include "imageprocess.h"

#include "i420buffer.h"
#include "rgb24buffer.h"

#include <QDebug>
#include <algorithm>
#include <libyuv/convert_argb.h>

namespace {

constexpr int kHistogramIntervalMs = 350;
// Rows converted and corrected together while they are still in the cache (even, so that
// every strip starts on a chroma row).
constexpr int kStripRows = 16;

// Converts rows [firstRow, firstRow + rows) of a planar frame into R, G, B rows at dst.
void convertRows(const I420BufferInterface &planar, int firstRow, int rows, std::uint8_t *dst, int dstStride)
{
    const int chromaRow = firstRow / 2;
    // libyuv calls bytes in R, G, B order "RAW".
    libyuv::I420ToRAW(planar.DataY() + std::ptrdiff_t(firstRow) * planar.StrideY(), planar.StrideY(),
                      planar.DataU() + std::ptrdiff_t(chromaRow) * planar.StrideU(), planar.StrideU(),
                      planar.DataV() + std::ptrdiff_t(chromaRow) * planar.StrideV(), planar.StrideV(), dst, dstStride,
                      planar.width(), rows);
}

// The frame's pixels as R, G, B: the buffer itself when it is RGB24, a conversion when it is
// planar; null for anything else. Nothing writes into the result.
std::shared_ptr<RGB24BufferInterface> rgb24View(const VideoFrame &frame)
{
    const auto source = frame.videoFrameBuffer();
    if (!source || frame.isNull()) {
        return nullptr;
    }
    if (source->type() == VideoFrameBuffer::Type::kRGB24) {
        return std::static_pointer_cast<RGB24BufferInterface>(source);
    }
    if (const I420BufferInterface *planar = source->GetI420()) {
        auto rgb = RGB24Buffer::Create(planar->width(), planar->height());
        if (rgb) {
            convertRows(*planar, 0, planar->height(), rgb->MutableData(), rgb->Stride());
        }
        return rgb;
    }
    return nullptr;
}

} // namespace

ImageProcess::ImageProcess(QObject *parent)
    : QObject(parent), m_boundaries(defaultHistogramBoundaries()), m_histogramTimer(new QTimer(this))
{
    registerHistogramTypes();
    qRegisterMetaType<VideoFrame>("VideoFrame");
    m_histogramTimer->setInterval(kHistogramIntervalMs);
    connect(m_histogramTimer, &QTimer::timeout, this, &ImageProcess::onActiveHistogramCalc);
}

ImageProcess::~ImageProcess() = default;

bool ImageProcess::anyCorrection() const
{
    QMutexLocker locker(&m_mutex);
    return anyCorrectionLocked();
}

bool ImageProcess::anyCorrectionLocked() const
{
    return m_negative || m_ffcEnabled || m_levelsEnabled ||
           std::any_of(m_blackBalance.begin(), m_blackBalance.end(), [](int offset) { return offset > 0; });
}

void ImageProcess::prepareCorrectorLocked(bool withLevels)
{
    PixelCorrector::Settings settings;
    settings.blackBalance = m_blackBalance;
    settings.negative = m_negative;
    settings.levels = withLevels && m_levelsEnabled;
    if (settings.levels) {
        for (int c = 0; c < 3; ++c) {
            const auto it = std::find_if(m_boundaries.cbegin(), m_boundaries.cend(),
                                         [c](const HistogramBoundaryInfo &info) { return info.channel == c; });
            settings.lower[c] = it == m_boundaries.cend() ? 0 : it->lower;
            settings.upper[c] = it == m_boundaries.cend() ? 255 : it->upper;
        }
    }
    PixelCorrector &corrector = withLevels ? m_corrector : m_histogramCorrector;
    corrector.setSettings(settings);
    corrector.setFlatFieldMeans(m_ffcMeans);
}

const std::uint8_t *ImageProcess::flatFieldRowsLocked(int width, int height, int &stride)
{
    if (!m_ffcEnabled || !m_ffcReferenceRgb) {
        return nullptr;
    }
    const RGB24BufferInterface &reference = *m_ffcReferenceRgb;
    if (std::int64_t(reference.width()) * reference.height() != std::int64_t(width) * height) {
        return nullptr;
    }
    if (reference.width() == width) {
        stride = reference.Stride();
        return reference.Data();
    }
    // Same pixel count, other shape: pixel k of the frame meets pixel k of the reference.
    if (m_ffcReshapedWidth != width) {
        const std::size_t rowBytes = std::size_t(3) * reference.width();
        m_ffcReshaped.resize(rowBytes * reference.height());
        for (int y = 0; y < reference.height(); ++y) {
            const std::uint8_t *row = reference.Data() + std::ptrdiff_t(y) * reference.Stride();
            std::copy(row, row + rowBytes, m_ffcReshaped.data() + y * rowBytes);
        }
        m_ffcReshapedWidth = width;
    }
    stride = 3 * width;
    return m_ffcReshaped.data();
}

void ImageProcess::correctLocked(const std::uint8_t *src, int srcStride, std::uint8_t *dst, int dstStride, int width,
                                 int height, bool withLevels)
{
    prepareCorrectorLocked(withLevels);
    int referenceStride = 0;
    const std::uint8_t *reference = flatFieldRowsLocked(width, height, referenceStride);
    (withLevels ? m_corrector : m_histogramCorrector)
        .apply(src, srcStride, dst, dstStride, width, height, reference, referenceStride);
}

VideoFrame ImageProcess::process(const VideoFrame &frame)
{
    QMutexLocker locker(&m_mutex);
    if (!anyCorrectionLocked()) {
        return frame;
    }
    const auto source = frame.videoFrameBuffer();
    if (!source || frame.isNull()) {
        return frame;
    }
    const int width = frame.width();
    const int height = frame.height();
    if (const I420BufferInterface *planar = source->GetI420()) {
        auto out = RGB24Buffer::Create(width, height);
        if (!out) {
            return frame;
        }
        prepareCorrectorLocked(true);
        int referenceStride = 0;
        const std::uint8_t *reference = flatFieldRowsLocked(width, height, referenceStride);
        const int stride = out->Stride();
        for (int y = 0; y < height; y += kStripRows) {
            const int rows = std::min(kStripRows, height - y);
            std::uint8_t *dst = out->MutableData() + std::ptrdiff_t(y) * stride;
            convertRows(*planar, y, rows, dst, stride);
            m_corrector.apply(dst, stride, dst, stride, width, rows,
                              reference ? reference + std::ptrdiff_t(y) * referenceStride : nullptr, referenceStride);
        }
        return VideoFrame(std::move(out), frame.timestampUs());
    }
    if (source->type() == VideoFrameBuffer::Type::kRGB24) {
        const auto &packed = static_cast<const RGB24BufferInterface &>(*source);
        auto out = RGB24Buffer::Create(width, height);
        if (!out) {
            return frame;
        }
        // The copy and the corrections in one pass: read the input, write the new buffer.
        correctLocked(packed.Data(), packed.Stride(), out->MutableData(), out->Stride(), width, height, true);
        return VideoFrame(std::move(out), frame.timestampUs());
    }
    return frame;
}

void ImageProcess::onSetNegative(bool negative)
{
    QMutexLocker locker(&m_mutex);
    m_negative = negative;
}

void ImageProcess::onSetBlackBalance(int red, int green, int blue)
{
    QMutexLocker locker(&m_mutex);
    m_blackBalance = {red, green, blue};
}

void ImageProcess::onSetBlackBalanceR(int value)
{
    QMutexLocker locker(&m_mutex);
    m_blackBalance[0] = value;
}

void ImageProcess::onSetBlackBalanceG(int value)
{
    QMutexLocker locker(&m_mutex);
    m_blackBalance[1] = value;
}

void ImageProcess::onSetBlackBalanceB(int value)
{
    QMutexLocker locker(&m_mutex);
    m_blackBalance[2] = value;
}

void ImageProcess::onSetBlackBalanceRegion(bool enable, int x, int y, int width, int height)
{
    QMutexLocker locker(&m_mutex);
    m_blackBalanceRegionEnabled = enable;
    m_regionX = x;
    m_regionY = y;
    m_regionWidth = width;
    m_regionHeight = height;
}

void ImageProcess::onCalcBlackBalance()
{
    QMutexLocker locker(&m_mutex);
    m_blackBalanceRequest = true;
    emit getVideoFrameForProcess();
}

void ImageProcess::onSetFFCStatus(bool enable)
{
    QMutexLocker locker(&m_mutex);
    m_ffcEnabled = enable;
}

void ImageProcess::onStartFFCCapture(int num)
{
    QMutexLocker locker(&m_mutex);
    m_ffcRequested = num;
    m_ffcCaptured = 0;
    m_ffcMeans = {0.f, 0.f, 0.f};
    std::vector<std::uint32_t>().swap(m_ffcSums);
    emit getVideoFrameForProcess();
}

void ImageProcess::onSetFFCAverageFrame(VideoFrame frame)
{
    QMutexLocker locker(&m_mutex);
    m_ffcReference = frame;
    m_ffcReferenceRgb = rgb24View(frame);
    m_ffcReshapedWidth = 0;
    std::vector<std::uint8_t>().swap(m_ffcReshaped);
}

void ImageProcess::onCalcHistogramBoundariesOnce()
{
    QMutexLocker locker(&m_mutex);
    m_boundariesOnceRequest = true;
    emit getVideoFrameForProcess();
}

void ImageProcess::onSetHistogramStatus(bool enable)
{
    QMutexLocker locker(&m_mutex);
    m_levelsEnabled = enable;
}

void ImageProcess::onSetHistogramBoundaries(QVector<HistogramBoundaryInfo> infos)
{
    QMutexLocker locker(&m_mutex);
    m_boundaries = std::move(infos);
}

void ImageProcess::onCalcHistogramInfos(bool start, HistogramChannel channel, HistogramDisplayMode mode)
{
    QMutexLocker locker(&m_mutex);
    m_histogramChannel = channel;
    m_histogramDisplayMode = mode;
    // Queued, so that the timer is started or stopped on the thread it lives on.
    QMetaObject::invokeMethod(m_histogramTimer, start ? "start" : "stop", Qt::QueuedConnection);
}

void ImageProcess::onActiveHistogramCalc()
{
    QMutexLocker locker(&m_mutex);
    if (!m_calcNowRequest) {
        m_calcNowRequest = true;
        emit getVideoFrameForProcess();
    }
}

void ImageProcess::onRecvVideoFrameForProcess(VideoFrame frame)
{
    QMutexLocker locker(&m_mutex);
    const bool ffcPending = m_ffcCaptured < m_ffcRequested;
    if (!m_blackBalanceRequest && !ffcPending && !m_boundariesOnceRequest && !m_calcNowRequest) {
        return;
    }
    const auto working = rgb24View(frame);
    if (!working) {
        return;
    }
    if (m_blackBalanceRequest) {
        m_blackBalanceRequest = false;
        calcBlackBalanceLocked(*working);
    }
    if (ffcPending) {
        captureFFCFrameLocked(*working);
    }
    if (m_boundariesOnceRequest || m_calcNowRequest) {
        calcHistogramLocked(*working);
    }
}

void ImageProcess::calcBlackBalanceLocked(const RGB24BufferInterface &frame)
{
    int x0 = 0;
    int y0 = 0;
    int x1 = frame.width();
    int y1 = frame.height();
    if (m_blackBalanceRegionEnabled) {
        if (m_regionX < 0 || m_regionY < 0 || m_regionWidth < 1 || m_regionHeight < 1) {
            return;
        }
        x0 = m_regionX;
        y0 = m_regionY;
        x1 = int(std::min<std::int64_t>(std::int64_t(m_regionX) + m_regionWidth, frame.width()));
        y1 = int(std::min<std::int64_t>(std::int64_t(m_regionY) + m_regionHeight, frame.height()));
    }
    if (x0 >= x1 || y0 >= y1) {
        return;
    }
    std::int64_t sums[3] = {0, 0, 0};
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t *p = frame.Data() + std::ptrdiff_t(y) * frame.Stride() + 3 * x0;
        for (int x = x0; x < x1; ++x, p += 3) {
            sums[0] += p[0];
            sums[1] += p[1];
            sums[2] += p[2];
        }
    }
    const std::int64_t count = std::int64_t(x1 - x0) * (y1 - y0);
    m_blackBalance = {int(sums[0] / count), int(sums[1] / count), int(sums[2] / count)};
    emit sendBlackBalance(m_blackBalance[0], m_blackBalance[1], m_blackBalance[2]);
}

void ImageProcess::captureFFCFrameLocked(const RGB24BufferInterface &frame)
{
    const int width = frame.width();
    const int height = frame.height();
    const int stride = frame.Stride();
    const std::size_t length = std::size_t(stride) * height;
    if (m_ffcSums.size() != length) {
        m_ffcSums.assign(length, 0);
    }
    // Only the picture bytes: row padding holds no pixel and may be uninitialised.
    const int rowBytes = 3 * width;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t *src = frame.Data() + std::ptrdiff_t(y) * stride;
        std::uint32_t *sum = m_ffcSums.data() + std::size_t(y) * stride;
        for (int i = 0; i < rowBytes; ++i) {
            sum[i] += src[i];
        }
    }
    ++m_ffcCaptured;
    emit sendFFCCurrentCaptureNum(m_ffcCaptured);
    if (m_ffcCaptured < m_ffcRequested) {
        emit getVideoFrameForProcess();
        return;
    }

    auto average = RGB24Buffer::Create(width, height, stride);
    if (!average) {
        qWarning("ImageProcess: no memory for the flat-field reference");
        std::vector<std::uint32_t>().swap(m_ffcSums);
        return;
    }
    const std::uint32_t count = std::uint32_t(m_ffcRequested);
    std::uint8_t *out = average->MutableData();
    for (std::size_t i = 0; i < length; ++i) {
        const std::uint32_t value = m_ffcSums[i] / count;
        // A zero in the reference would divide by zero in the correction.
        out[i] = std::uint8_t(std::max<std::uint32_t>(value, 1));
    }
    std::uint64_t channelSums[3] = {0, 0, 0};
    for (int y = 0; y < height; ++y) {
        const std::uint8_t *p = out + std::ptrdiff_t(y) * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            channelSums[0] += p[0];
            channelSums[1] += p[1];
            channelSums[2] += p[2];
        }
    }
    const double pixels = double(width) * height;
    for (int c = 0; c < 3; ++c) {
        m_ffcMeans[c] = float(double(channelSums[c]) / pixels);
    }
    std::vector<std::uint32_t>().swap(m_ffcSums);
    m_ffcReferenceRgb = average;
    m_ffcReference = VideoFrame(std::move(average), 0);
    m_ffcReshapedWidth = 0;
    std::vector<std::uint8_t>().swap(m_ffcReshaped);
    emit sendFFCAverageFrame(m_ffcReference);
}

void ImageProcess::calcHistogramLocked(const RGB24BufferInterface &frame)
{
    const bool boundaries = m_boundariesOnceRequest;
    const int width = frame.width();
    const int height = frame.height();
    std::array<std::array<std::int64_t, 256>, 3> counts{};
    std::array<std::int64_t, 256> luminance{};

    // Flat-field, black balance and negative (not levels), one row at a time into a scratch row.
    prepareCorrectorLocked(false);
    int referenceStride = 0;
    const std::uint8_t *reference = flatFieldRowsLocked(width, height, referenceStride);
    std::vector<std::uint8_t> row(std::size_t(3) * width);
    for (int y = 0; y < height; ++y) {
        m_histogramCorrector.apply(
            frame.Data() + std::ptrdiff_t(y) * frame.Stride(), frame.Stride(), row.data(), int(row.size()), width, 1,
            reference ? reference + std::ptrdiff_t(y) * referenceStride : nullptr, referenceStride);
        const std::uint8_t *p = row.data();
        for (int x = 0; x < width; ++x, p += 3) {
            ++counts[0][p[0]];
            ++counts[1][p[1]];
            ++counts[2][p[2]];
            if (boundaries) {
                const int value = int(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]);
                ++luminance[std::clamp(value, 0, 255)];
            }
        }
    }
    m_calcNowRequest = false;

    QVector<HistogramChannelInfo> infos;
    for (int c = 0; c < 3; ++c) {
        HistogramChannelInfo info;
        info.channel = c;
        for (int value = 0; value < 256; ++value) {
            if (counts[c][value] > 0) {
                info.points.append(QPointF(value, double(counts[c][value])));
            }
        }
        infos.append(info);
    }
    emit sendHistogramInfos(infos);

    if (!boundaries) {
        return;
    }
    m_boundariesOnceRequest = false;
    const std::int64_t threshold = std::int64_t(double(width) * height * 0.001);
    int lower = 0;
    std::int64_t sum = 0;
    for (int value = 0; value < 256; ++value) {
        sum += luminance[value];
        if (sum >= threshold) {
            lower = value;
            break;
        }
    }
    int upper = 255;
    sum = 0;
    for (int value = 255; value >= 0; --value) {
        sum += luminance[value];
        if (sum >= threshold) {
            upper = value;
            break;
        }
    }
    qInfo().noquote() << QStringLiteral("calcHistogramWithLock boundary lower=%1, upper=%2").arg(lower).arg(upper);
    QVector<HistogramBoundaryInfo> result = m_boundaries;
    for (HistogramBoundaryInfo &info : result) {
        info.lower = lower;
        info.upper = upper;
    }
    emit sendHistogramBoundaries(result);
}
