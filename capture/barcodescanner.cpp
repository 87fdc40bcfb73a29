#include "barcodescanner.h"

#include "frameconversion.h"
#include "isolatedcall.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <opencv2/imgproc.hpp>
#include <opencv2/wechat_qrcode.hpp>

#include <memory>
#include <mutex>
#include <vector>

namespace {

// A decode that has not finished by then is stuck; the scan goes on without it.
constexpr int kLibraryTimeoutMs = 10000;

// The copies of the picture the barcode library reads first, in this order until one gives a
// text: the picture itself (the library also reads it rotated and downscaled), then a half-size
// copy with its contrast stretched (averaging four pixels into one evens out sensor noise, and
// the stretch lifts faint print), then both again with light and dark swapped for labels
// printed light on dark, which the library does not try by itself.
cv::Mat greyOf(const QImage &img, QImage &keep)
{
    keep = img.convertToFormat(QImage::Format_Grayscale8);
    return cv::Mat(keep.height(), keep.width(), CV_8UC1, const_cast<uchar *>(keep.constBits()),
                   size_t(keep.bytesPerLine()));
}

void addInverted(std::vector<cv::Mat> &copies)
{
    for (int i = 0, n = int(copies.size()); i < n; ++i) {
        copies.emplace_back();
        cv::bitwise_not(copies[i], copies.back());
    }
}

std::vector<cv::Mat> plainCopies(const QImage &img)
{
    QImage grey;
    const cv::Mat full = greyOf(img, grey);
    std::vector<cv::Mat> copies;
    try {
        cv::Mat half;
        cv::resize(full, half, cv::Size(), 0.5, 0.5, cv::INTER_AREA);
        // Stretch between the 1st and 99th percentiles, so that a few specks do not hold the range.
        int histogram[256] = {};
        for (int y = 0; y < half.rows; ++y) {
            const uchar *row = half.ptr<uchar>(y);
            for (int x = 0; x < half.cols; ++x)
                ++histogram[row[x]];
        }
        const int total = half.rows * half.cols;
        int low = 0, high = 255;
        for (int sum = 0; low < 255 && (sum += histogram[low]) < total / 100;)
            ++low;
        for (int sum = 0; high > 0 && (sum += histogram[high]) < total / 100;)
            --high;
        if (high > low)
            half.convertTo(half, CV_8U, 255.0 / (high - low), -255.0 * low / (high - low));
        copies = {full.clone(), half};
        addInverted(copies);
    } catch (const cv::Exception &e) {
        qWarning().noquote() << "BarcodeScanner: preparing the picture failed:" << e.what();
        copies = {full.clone()};
    }
    return copies;
}

// The copies read when the first ones give nothing, for blurred, noisy or tilted bar codes:
// the picture turned so that its strongest edges run vertically (the bars upright), then
// averaged along the bars over a short and a long stretch (a short code, a tall one). That
// takes out the noise without widening any bar, which the library's row scans need.
std::vector<cv::Mat> uprightCopies(const QImage &img)
{
    QImage grey;
    const cv::Mat full = greyOf(img, grey);
    std::vector<cv::Mat> copies;
    try {
        cv::Mat small, gx, gy;
        cv::resize(full, small, cv::Size(), 0.5, 0.5, cv::INTER_AREA);
        cv::Sobel(small, gx, CV_32F, 1, 0);
        cv::Sobel(small, gy, CV_32F, 0, 1);
        const double sxx = gx.dot(gx), syy = gy.dot(gy), sxy = gx.dot(gy);
        const double angle = 0.5 * std::atan2(2 * sxy, sxx - syy) * 180.0 / CV_PI;
        const cv::Mat turn = cv::getRotationMatrix2D(cv::Point2f(full.cols / 2.f, full.rows / 2.f), angle, 1.0);
        cv::Mat upright, shortRun, longRun;
        cv::warpAffine(full, upright, turn, full.size(), cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        cv::blur(upright, shortRun, cv::Size(1, 41));
        cv::blur(upright, longRun, cv::Size(1, 121));
        copies = {shortRun, longRun};
        addInverted(copies);
    } catch (const cv::Exception &e) {
        qWarning().noquote() << "BarcodeScanner: preparing the picture failed:" << e.what();
    }
    return copies;
}

// The first text the library reads from the copies; runs in the child process.
std::string readFirst(const std::vector<cv::Mat> &copies)
{
    const ZXing::DecodeHints hints; // every format, try harder, rotated and downscaled
    for (const cv::Mat &copy : copies) {
        const ZXing::Result result = ZXing::ReadBarcode(
            ZXing::ImageView(copy.data, copy.cols, copy.rows, ZXing::ImageFormat::Lum, int(copy.step[0])), hints);
        if (result.isValid() && !result.text().empty())
            return result.text();
    }
    return {};
}

QString modelFile(const QString &name)
{
    const QString local = QStringLiteral("./model/") + name;
    if (QFile::exists(local))
        return local;
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/model/") + name;
    return QFile::exists(beside) ? beside : QString();
}

// The QR detector network, loaded once per process on first use; null without its model files.
cv::wechat_qrcode::WeChatQRCode *weChatDetector(std::unique_lock<std::mutex> &lock)
{
    static std::mutex mutex;
    static std::unique_ptr<cv::wechat_qrcode::WeChatQRCode> detector;
    static bool tried = false;
    lock = std::unique_lock<std::mutex>(mutex);
    if (tried)
        return detector.get();
    tried = true;
    const QString files[] = {modelFile(QStringLiteral("detect.prototxt")),
                             modelFile(QStringLiteral("detect.caffemodel")), modelFile(QStringLiteral("sr.prototxt")),
                             modelFile(QStringLiteral("sr.caffemodel"))};
    for (const QString &file : files) {
        if (file.isEmpty())
            return nullptr;
    }
    try {
        detector = std::make_unique<cv::wechat_qrcode::WeChatQRCode>(files[0].toStdString(), files[1].toStdString(),
                                                                     files[2].toStdString(), files[3].toStdString());
    } catch (const cv::Exception &e) {
        qWarning().noquote() << "WeChatQRCode cannot load its models:" << e.what();
    }
    return detector.get();
}

QString readWithWeChat(const QImage &img)
{
    std::unique_lock<std::mutex> lock;
    cv::wechat_qrcode::WeChatQRCode *detector = weChatDetector(lock);
    if (!detector) {
        qDebug() << "WeChatQRCode skipped: its model files are missing or unreadable";
        return {};
    }
    QString text;
    try {
        cv::Mat mat = qImageToMat(img);
        if (!mat.empty()) {
            const double s = std::min(720.0 / mat.rows, 1280.0 / mat.cols);
            if (s < 1.0)
                cv::resize(mat, mat, cv::Size(), s, s, cv::INTER_AREA);
            cv::GaussianBlur(mat, mat, cv::Size(7, 7), 11.0, 11.0);
        }
        qDebug() << "ICE@@ try WeChatQRCode";
        std::vector<cv::Mat> points;
        const std::vector<std::string> texts =
            mat.empty() ? std::vector<std::string>() : detector->detectAndDecode(mat, points);
        if (!texts.empty())
            text = QString::fromStdString(texts.front());
    } catch (const std::exception &) {
        text.clear();
    }
    if (text.isEmpty())
        qDebug() << "WeChatQRCode failed";
    else
        qDebug().noquote() << "WeChatQRCode success:" << text;
    return text;
}

} // namespace

BarcodeScanner::BarcodeScanner(QObject *parent) : QObject(parent) {}

void BarcodeScanner::deocdeImage(QString &result, const QImage &img)
{
    QElapsedTimer timer;
    timer.start();
    result.clear();
    if (img.isNull())
        return;
    for (const auto prepare : {&plainCopies, &uprightCopies}) {
        const std::vector<cv::Mat> copies = prepare(img);
        const IsolatedCall call = IsolatedCall::run([&copies] { return readFirst(copies); }, kLibraryTimeoutMs);
        if (call.status == IsolatedCall::Done) {
            result = QString::fromStdString(call.output);
        } else {
            static const char *const kWhy[] = {"", "crashed", "did not finish in time", "could not be started"};
            qWarning() << "BarcodeScanner: the barcode library" << kWhy[call.status];
        }
        if (!result.isEmpty())
            break;
    }
    if (result.isEmpty())
        result = readWithWeChat(img);
    if (!result.isEmpty())
        qDebug().noquote() << "ICE@@ deocdeImage result=" + result + ", using time=" + QString::number(timer.elapsed());
}

void stampScanResult(QPixmap &pixmap, const QString &text)
{
    if (text.isEmpty() || pixmap.isNull()) {
        qDebug() << "Invalid input: empty scan data or null pixmap";
        return;
    }
    const int w = pixmap.width();
    const int h = pixmap.height();
    const bool portrait = h > w;
    const double refW = portrait ? 1080.0 : 1920.0;
    const double refH = portrait ? 1920.0 : 1080.0;
    const double s = std::max(1.0, std::min(w / refW, h / refH));

    QFont font = QGuiApplication::font();
    font.setPixelSize(std::max(12, int(16 * s)));
    const QFontMetrics metrics(font);
    const int maxW = int(w - 40 * s);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, maxW);
    const QRect textRect = metrics.boundingRect(shown);
    const int boxW = std::min(textRect.width() + int(20 * s), maxW);
    const int boxH = textRect.height() + int(12 * s);
    const QRect box((w - boxW) / 2, int(std::min(0.1 * h, 40 * s)), boxW, boxH);

    QPainter painter(&pixmap);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.setFont(font);
    painter.setPen(QPen(QColor(200, 50, 50), 2 * s));
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRoundedRect(box, 8 * s, 8 * s);
    painter.setPen(QColor(30, 30, 30));
    painter.drawText(box.adjusted(0, 0, 0, -int(12 * s) / 4), Qt::AlignCenter | Qt::TextWordWrap, shown);
}

QImage scanArea(const QImage &picture, const QRect &region)
{
    // Even corners and sizes: pictures are YUV 4:2:0, whose colour samples cover two by two pixels.
    const QRect even(region.x() & ~1, region.y() & ~1, region.width() & ~1, region.height() & ~1);
    const QRect area = even.intersected(picture.rect());
    return region.isNull() || area.isEmpty() ? picture : picture.copy(area);
}
