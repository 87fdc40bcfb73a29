#pragma once

#include "camerainfo.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;
class QTimer;

// The production-test view: the camera's information, read only, and a frame-rate check that
// counts the live frames it is told about against the camera's nominal rate.
class ProductionTestDialog : public QDialog
{
    Q_OBJECT

public:
    ProductionTestDialog(const QString &model, const CameraInfo &info, QWidget *parent = nullptr);

public slots:
    // One live frame arrived.
    void onFrame();

private:
    void startCheck();
    void finishCheck();

    int m_nominalFps = 0;
    int m_frames = 0;
    bool m_counting = false;
    QElapsedTimer m_elapsed;
    QTimer *m_window = nullptr;
    QPushButton *m_start = nullptr;
    QLabel *m_result = nullptr;
};
