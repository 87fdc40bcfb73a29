#pragma once

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimeEdit;

// "Record Settings": where and under which name videos are saved, whether the name is chosen
// at once or asked for, and the countdown before a recording and its duration. Every change
// is stored at once.
class RecordSettings : public QDialog
{
    Q_OBJECT

public:
    explicit RecordSettings(QWidget *parent = nullptr);

    // The folder videos go to: the stored one, or the movies folder on a fresh machine.
    static QString saveFolder();

private:
    void build();
    void load();
    void connectControls();
    void updateSample();
    void setPrefix(const QString &text);

    QLineEdit *m_savePath = nullptr;
    QLineEdit *m_prefix = nullptr;
    QString m_acceptedPrefix;
    QButtonGroup *m_naming = nullptr;
    QComboBox *m_timeFormat = nullptr;
    QComboBox *m_digits = nullptr;
    QComboBox *m_format = nullptr;
    QLabel *m_sample = nullptr;
    QRadioButton *m_quickSaveYes = nullptr;
    QRadioButton *m_quickSaveNo = nullptr;
    QCheckBox *m_enableTiming = nullptr;
    QTimeEdit *m_remainingTime = nullptr;
    QTimeEdit *m_duration = nullptr;
};
