#include "productiontestdialog.h"

#include "constants.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Long enough to even out the jitter of single frames, short enough to wait for.
constexpr int kCheckMs = 3000;

QString rangeText(const CameraRange &range)
{
    if (!range.supported)
        return ProductionTestDialog::tr("not supported");
    return QStringLiteral("%1 .. %2 (%3)").arg(range.min).arg(range.max).arg(range.value);
}

// A measured rate passes at 90 % of the nominal one or more.
bool frameRatePasses(double measuredFps, int nominalFps)
{
    return nominalFps > 0 && measuredFps * 10 >= nominalFps * 9;
}

} // namespace

ProductionTestDialog::ProductionTestDialog(const QString &model, const CameraInfo &info, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Production Test"));
    setObjectName(QStringLiteral("production_test_dialog"));
    // The rate the stream was asked for, else what the camera reports.
    m_nominalFps = info.current.fps > 0 ? info.current.fps : info.fps;

    QStringList formats;
    for (int format : info.formats)
        formats << Constants::videoFormatName(format);

    auto *form = new QFormLayout;
    auto addRow = [this, form](const QString &caption, const QString &value) {
        auto *label = new QLabel(value, this);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, label);
    };
    addRow(tr("Model"), model);
    addRow(tr("Firmware Version"), firmwareVersionText(info.version));
    addRow(tr("Resolution"), info.current.resolution);
    addRow(tr("Formats"), formats.join(QStringLiteral(", ")));
    addRow(tr("Nominal FPS"), QString::number(m_nominalFps));
    addRow(tr("Exposure Time"), rangeText(info.expTime));
    addRow(tr("Gain"), rangeText(info.expGain));
    addRow(tr("Focus"), rangeText(info.focus));
    addRow(tr("Optical Zoom"), rangeText(info.opticalZoom));
    addRow(tr("Hue"), rangeText(info.hue));
    addRow(tr("Saturation"), rangeText(info.saturation));
    addRow(tr("Contrast"), rangeText(info.contrast));
    addRow(tr("Sharpness"), rangeText(info.sharpness));
    addRow(tr("Gamma"), rangeText(info.gamma));

    m_start = new QPushButton(tr("Check Frame Rate"), this);
    m_start->setObjectName(QStringLiteral("fps_check_button"));
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("fps_result_label"));
    m_result->setWordWrap(true);
    m_window = new QTimer(this);
    m_window->setSingleShot(true);
    m_window->setInterval(kCheckMs);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_start);
    layout->addWidget(m_result);
    layout->addWidget(buttons);

    connect(m_start, &QPushButton::clicked, this, &ProductionTestDialog::startCheck);
    connect(m_window, &QTimer::timeout, this, &ProductionTestDialog::finishCheck);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ProductionTestDialog::onFrame()
{
    if (m_counting)
        ++m_frames;
}

void ProductionTestDialog::startCheck()
{
    m_frames = 0;
    m_counting = true;
    m_start->setEnabled(false);
    m_result->setText(tr("Measuring..."));
    m_elapsed.start();
    m_window->start();
}

void ProductionTestDialog::finishCheck()
{
    m_counting = false;
    m_start->setEnabled(true);
    const double fps = m_frames * 1000.0 / qMax<qint64>(1, m_elapsed.elapsed());
    const bool pass = frameRatePasses(fps, m_nominalFps);
    m_result->setText(tr("Measured %1 fps, nominal %2 fps: %3")
                          .arg(fps, 0, 'f', 1)
                          .arg(m_nominalFps)
                          .arg(pass ? tr("PASS") : tr("FAIL")));
}
