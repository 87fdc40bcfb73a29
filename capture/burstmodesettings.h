#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QTimeEdit;

// "Time Lapse Settings": how many photos a series takes, the seconds between them, and the
// countdown before it starts. Every valid change is stored at once.
class BurstModeSettings : public QDialog
{
    Q_OBJECT

public:
    explicit BurstModeSettings(QWidget *parent = nullptr);

private slots:
    void on_burstModeNumber_lineEdit_textChanged(const QString &text);
    void on_burstModeInterval_s_lineEdit_textChanged(const QString &text);
    void on_enableTiming_checkBox_stateChanged(int state);
    void on_remainingTime_timeEdit_timeChanged(const QTime &time);

private:
    QLineEdit *m_number = nullptr;
    QLineEdit *m_interval = nullptr;
    QCheckBox *m_enableTiming = nullptr;
    QTimeEdit *m_remainingTime = nullptr;
};
