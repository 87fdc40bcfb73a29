#pragma once

// Synthetic photographs of a slide label carrying one code, for the scanner's tests and its
// benchmark: the code is written by the barcode library's own encoder, then the picture is
// spoiled the way a microscope camera spoils it.

#include <QImage>

#define ZX_USE_UTF8
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <string>

namespace SlideLabel {

struct Spec
{
    ZXing::BarcodeFormat format = ZXing::BarcodeFormat::QRCode;
    std::string text = "LUMORA SLIDE 0001";
    QSize size{1920, 1080};
    int codeWidth = 360;   // pixels; linear codes are a third as high
    double angle = 0;      // degrees, counter-clockwise
    double blur = 0;       // Gaussian sigma in pixels
    double noise = 0;      // Gaussian sigma in grey levels
    int contrast = 200;    // grey levels between dark and light print
    bool inverted = false; // light print on a dark label
    bool mirrored = false; // seen through the slide
    QPoint offset{0, 0};   // of the code's centre from the picture's centre; -1 on the x axis
    unsigned seed = 1;
};

inline QImage render(const Spec &spec)
{
    const bool linear = spec.format == ZXing::BarcodeFormat::Code128;
    const int codeHeight = linear ? spec.codeWidth / 3 : spec.codeWidth;
    const ZXing::BitMatrix bits =
        ZXing::MultiFormatWriter(spec.format).setMargin(0).encode(spec.text, spec.codeWidth, codeHeight);
    const int dark = 128 - spec.contrast / 2;
    const int light = dark + spec.contrast;
    const int ink = spec.inverted ? light : dark;
    const int paper = spec.inverted ? dark : light;

    // A grey slide, the label on it with a quiet zone of a tenth of the code around the code.
    cv::Mat picture(spec.size.height(), spec.size.width(), CV_8UC1, cv::Scalar(90));
    const int margin = spec.codeWidth / 10 + 8;
    const cv::Point centre(spec.size.width() / 2 + spec.offset.x(), spec.size.height() / 2 + spec.offset.y());
    cv::Mat label(bits.height() + 2 * margin, bits.width() + 2 * margin, CV_8UC1, cv::Scalar(paper));
    for (int y = 0; y < bits.height(); ++y)
        for (int x = 0; x < bits.width(); ++x)
            if (bits.get(spec.mirrored ? bits.width() - 1 - x : x, y))
                label.at<uchar>(y + margin, x + margin) = uchar(ink);
    cv::Mat mask(label.size(), CV_8UC1, cv::Scalar(255));
    const cv::Mat turn = cv::getRotationMatrix2D(cv::Point2f(label.cols / 2.f, label.rows / 2.f), spec.angle, 1.0);
    cv::Mat shift = turn.clone();
    shift.at<double>(0, 2) += centre.x - label.cols / 2.0;
    shift.at<double>(1, 2) += centre.y - label.rows / 2.0;
    cv::Mat placed, placedMask;
    cv::warpAffine(label, placed, shift, picture.size(), cv::INTER_LINEAR);
    cv::warpAffine(mask, placedMask, shift, picture.size(), cv::INTER_NEAREST);
    placed.copyTo(picture, placedMask);

    if (spec.blur > 0)
        cv::GaussianBlur(picture, picture, cv::Size(), spec.blur);
    if (spec.noise > 0) {
        cv::Mat noise(picture.size(), CV_16SC1);
        cv::RNG(spec.seed).fill(noise, cv::RNG::NORMAL, 0, spec.noise);
        cv::Mat sum;
        picture.convertTo(sum, CV_16SC1);
        sum += noise;
        sum.convertTo(picture, CV_8UC1);
    }
    QImage image(picture.cols, picture.rows, QImage::Format_RGB888);
    for (int y = 0; y < picture.rows; ++y) {
        uchar *out = image.scanLine(y);
        const uchar *in = picture.ptr<uchar>(y);
        for (int x = 0; x < picture.cols; ++x)
            out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = in[x];
    }
    return image;
}

// The benchmark's mixed set: picture `index` of a series that cycles through the formats and
// combines the spoilers at strengths a camera gives (blur up to 2.5 px, noise up to 12 levels,
// any angle for QR codes, contrast down to 50 levels, one in five inverted).
inline Spec varied(int index)
{
    cv::RNG rng(unsigned(1000 + index));
    Spec spec;
    const bool linear = index % 2 == 1;
    spec.format = linear ? ZXing::BarcodeFormat::Code128 : ZXing::BarcodeFormat::QRCode;
    spec.text = linear ? "SLIDE-" + std::to_string(10000 + index) : "LUMORA SLIDE " + std::to_string(index);
    spec.codeWidth = linear ? rng.uniform(420, 640) : rng.uniform(200, 400);
    // A linear code is read along rows, so it lies roughly along or across the picture; a 2D
    // code may lie at any angle.
    spec.angle = linear ? rng.uniform(-15.0, 15.0) + 90 * rng.uniform(0, 4) : rng.uniform(-180.0, 180.0);
    spec.blur = rng.uniform(0.0, 2.5);
    spec.noise = rng.uniform(0.0, 12.0);
    spec.contrast = rng.uniform(50, 220);
    spec.inverted = index % 5 == 4;
    spec.offset = QPoint(rng.uniform(-500, 500), rng.uniform(-250, 250));
    spec.seed = unsigned(index + 1);
    return spec;
}

} // namespace SlideLabel
