#include "ffccontrol.h"

#include "configstore.h"
#include "frameconversion.h"

#include <QCheckBox>
#include <QDebug>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

namespace {

constexpr int kMaxFrames = 100;
constexpr int kDefaultFrames = 10;

QString sizeText(QSize size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

} // namespace

FfcControl::FfcControl(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QGridLayout(this);
    m_numberLabel = new QLabel(this);
    m_number = new QSpinBox(this);
    m_number->setObjectName(QStringLiteral("ffc_number_spinBox"));
    m_number->setRange(1, kMaxFrames);
    m_number->setValue(ConfigStore::instance().value(ConfigGroup::Ffc, FfcKey::FFCNum, kDefaultFrames).toInt());
    m_capture = new QPushButton(this);
    m_capture->setObjectName(QStringLiteral("ffc_capture_btn"));
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("ffc_count_label"));
    m_enable = new QCheckBox(this);
    m_enable->setObjectName(QStringLiteral("ffc_enable_checkBox"));
    m_export = new QPushButton(this);
    m_export->setObjectName(QStringLiteral("ffc_export_btn"));
    m_export->setEnabled(false);
    m_import = new QPushButton(this);
    m_import->setObjectName(QStringLiteral("ffc_import_btn"));
    layout->addWidget(m_numberLabel, 0, 0);
    layout->addWidget(m_number, 0, 1);
    layout->addWidget(m_capture, 1, 0);
    layout->addWidget(m_count, 1, 1);
    layout->addWidget(m_enable, 2, 0, 1, 2);
    layout->addWidget(m_export, 3, 0);
    layout->addWidget(m_import, 3, 1);

    connect(m_capture, &QPushButton::clicked, this, [this] {
        m_total = m_number->value();
        m_captured = 0;
        showCount();
        ConfigStore::instance().write(ConfigGroup::Ffc, FfcKey::FFCNum, m_total);
        emit startFFCCapture(m_total);
    });
    connect(m_enable, &QCheckBox::toggled, this, &FfcControl::setFFCStatus);
    connect(m_export, &QPushButton::clicked, this, &FfcControl::exportWithDialog);
    connect(m_import, &QPushButton::clicked, this, &FfcControl::importWithDialog);
    showCount();
    retranslate();
}

void FfcControl::retranslate()
{
    m_numberLabel->setText(tr("Quantity"));
    m_capture->setText(tr("Capture"));
    m_enable->setText(tr("Enable"));
    m_export->setText(tr("Export"));
    m_import->setText(tr("Import"));
}

void FfcControl::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void FfcControl::showCount()
{
    m_count->setText(QStringLiteral("%1/%2").arg(m_captured).arg(m_total));
}

void FfcControl::setCurrentResolution(QSize size)
{
    m_resolution = size;
}

void FfcControl::onRecvFFCCurrentCaptureNum(int num)
{
    m_captured = num;
    showCount();
}

void FfcControl::onRecvFFCAverageFrame(VideoFrame frame)
{
    m_averageFrame = frame;
    m_export->setEnabled(!frame.isNull());
}

QString FfcControl::withFfcSuffix(const QString &path)
{
    return path.endsWith(QLatin1String(".ffc"), Qt::CaseInsensitive) ? path : path + QLatin1String(".ffc");
}

bool FfcControl::exportAverageFrame(const QString &path) const
{
    return !m_averageFrame.isNull() && ConfigStore::saveFFCAverageFrameToFile(videoFrameToQImage(m_averageFrame), path);
}

FfcControl::ImportOutcome FfcControl::importAverageFrame(const QString &path)
{
    const QImage image = ConfigStore::readFFCAverageFrameFromFile(path);
    if (image.isNull())
        return ImportOutcome::Unreadable;
    if (image.size() != m_resolution) {
        qWarning().noquote() << "Current resolution: " + sizeText(m_resolution) + ", ffc average frame resolution " +
                                    sizeText(image.size());
        return ImportOutcome::SizeMismatch;
    }
    onRecvFFCAverageFrame(videoFrameFromQImage(image));
    emit setFFCAverageFrame(m_averageFrame);
    return ImportOutcome::Imported;
}

QString FfcControl::lastFolder() const
{
    return ConfigStore::instance().value(ConfigGroup::Base, BaseKey::ExportFilePath).toString();
}

void FfcControl::rememberFolder(const QString &path)
{
    ConfigStore::instance().write(ConfigGroup::Base, BaseKey::ExportFilePath, QFileInfo(path).absolutePath());
}

void FfcControl::exportWithDialog()
{
    const QString chosen =
        QFileDialog::getSaveFileName(this, tr("Export FFC Data"), lastFolder(), tr("FFC files (*.ffc)"));
    if (chosen.isEmpty())
        return;
    const QString path = withFfcSuffix(chosen);
    rememberFolder(path);
    if (exportAverageFrame(path))
        QMessageBox::information(this, tr("Export Successful"), tr("FFC data has been successfully exported"));
    else
        QMessageBox::warning(this, tr("Export Failure"), tr("Failed to export ffc data"));
}

void FfcControl::importWithDialog()
{
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Import FFC Data"), lastFolder(), tr("FFC files (*.ffc)"));
    if (path.isEmpty())
        return;
    rememberFolder(path);
    switch (importAverageFrame(path)) {
    case ImportOutcome::Imported:
        QMessageBox::information(this, tr("Import Successful"), tr("FFC data has been successfully imported"));
        break;
    case ImportOutcome::Unreadable:
        QMessageBox::warning(this, tr("Import Failure"), tr("Failed to import ffc data from the file"));
        break;
    case ImportOutcome::SizeMismatch:
        QMessageBox::warning(this, tr("Import Failure"),
                             tr("The size of the imported ffc data does not match the current resolution"));
        break;
    }
}
