#pragma once

#include "videoframe.h"

#include <QSize>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

// Flat-field correction: captures the reference (the average of a number of frames), switches
// the correction on and off, and exports and imports the reference as an ".ffc" file.
class FfcControl : public QWidget
{
    Q_OBJECT

public:
    enum class ImportOutcome { Imported, Unreadable, SizeMismatch };
    Q_ENUM(ImportOutcome)

    explicit FfcControl(QWidget *parent = nullptr);

    // The size of the live picture, which an imported reference must have.
    void setCurrentResolution(QSize size);
    VideoFrame averageFrame() const { return m_averageFrame; }

    // Writes the reference to `path`; false without a reference or when the file cannot be written.
    bool exportAverageFrame(const QString &path) const;
    // Reads a reference from `path`; only one of the current resolution is kept and sent.
    ImportOutcome importAverageFrame(const QString &path);
    // The name as saved: ".ffc" added when it has another ending.
    static QString withFfcSuffix(const QString &path);

signals:
    void startFFCCapture(int num);
    void setFFCStatus(bool enable);
    void setFFCAverageFrame(VideoFrame frame);

public slots:
    void onRecvFFCCurrentCaptureNum(int num);
    void onRecvFFCAverageFrame(VideoFrame frame);
    // The file dialogs and the messages around export and import.
    void exportWithDialog();
    void importWithDialog();

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void showCount();
    // The folder of the last file exported or imported.
    QString lastFolder() const;
    void rememberFolder(const QString &path);

    QSpinBox *m_number = nullptr;
    QPushButton *m_capture = nullptr;
    QLabel *m_numberLabel = nullptr;
    QLabel *m_count = nullptr;
    QCheckBox *m_enable = nullptr;
    QPushButton *m_export = nullptr;
    QPushButton *m_import = nullptr;
    VideoFrame m_averageFrame;
    QSize m_resolution;
    int m_captured = 0;
    int m_total = 0;
};
