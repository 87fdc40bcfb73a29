// The barcode scanner on 100 synthetic 1080p label photographs (QR and Code 128, blurred,
// noisy, turned, faint, some light on dark) against the zbarimg command on the same files in
// the same run: the share read correctly, and the time per picture (file read included).
#include "barcodescanner.h"
#include "benchutil.h"
#include "slidelabel.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kPictures = 100;

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QStringList files;
    QStringList texts;
    for (int i = 0; i < kPictures; ++i) {
        const SlideLabel::Spec spec = SlideLabel::varied(i);
        files << dir.filePath(QStringLiteral("label%1.png").arg(i, 3, 10, QLatin1Char('0')));
        texts << QString::fromStdString(spec.text);
        if (!SlideLabel::render(spec).save(files.last()))
            return 1;
    }
    const bool haveZbar = QProcess::execute(QStringLiteral("zbarimg"), {QStringLiteral("--version")}) == 0;
    if (!haveZbar)
        std::printf("bench_barcode: zbarimg not found (package zbar-tools), no anchor\n");

    BarcodeScanner scanner;
    std::vector<double> scanMs, decodeMs, zbarMs;
    int scanRead = 0, zbarRead = 0;
    QStringList missed;
    for (int i = 0; i < kPictures; ++i) {
        QString text;
        scanMs.push_back(BenchUtil::millisecondsOf([&] {
            const QImage picture(files[i]);
            decodeMs.push_back(BenchUtil::millisecondsOf([&] { scanner.deocdeImage(text, picture); }));
        }));
        if (text == texts[i])
            ++scanRead;
        else
            missed << QString::number(i);
        if (!haveZbar)
            continue;
        QByteArray output;
        zbarMs.push_back(BenchUtil::millisecondsOf([&] {
            QProcess zbar;
            zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("-q"), QStringLiteral("--raw"), files[i]});
            zbar.waitForFinished(-1);
            output = zbar.readAllStandardOutput();
        }));
        if (QString::fromUtf8(output).split('\n').contains(texts[i]))
            ++zbarRead;
    }
    std::printf("bench_barcode: scanner missed pictures %s\n", qPrintable(missed.join(' ')));
    if (haveZbar) {
        BenchUtil::printFigure("barcode_read_percent", 100.0 * scanRead / kPictures, "percent", "zbarimg_read_percent",
                               100.0 * zbarRead / kPictures);
        BenchUtil::printFigure("barcode_file_scan_1080p", BenchUtil::median(scanMs), "ms", "zbarimg_1080p",
                               BenchUtil::median(zbarMs));
    } else {
        std::printf("BENCH name=barcode_read_percent value=%.4f unit=percent\n", 100.0 * scanRead / kPictures);
    }
    std::printf("BENCH name=barcode_decode_1080p value=%.4f unit=ms\n", BenchUtil::median(decodeMs));
    return 0;
}
