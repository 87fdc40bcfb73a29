#pragma once

#include "drawproperty.h"

#include <QDialog>
#include <QVariant>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimeEdit;

// "Snap Settings": where and under which name photos are saved, what goes into them, and the
// countdown before a photo. Every change is stored at once.
class PhotoSettings : public QDialog
{
    Q_OBJECT

public:
    explicit PhotoSettings(QWidget *parent = nullptr);

signals:
    void changeDrawProp(DrawProperty property, const QVariant &value);
    // The scan region is shown while photos are named by a scanned code.
    void signalScanRegionDisplayChanged(bool show);

private slots:
    void on_openSavePath_btn_clicked();
    void on_mergeImageY_rbtn_toggled(bool checked);
    void on_saveGraphicsY_rBtn_toggled(bool checked);
    void on_saveGraphicsN_tBtn_toggled(bool checked);
    void on_timeNaming_checkBox_stateChanged(int state);
    void on_autoIndex_checkBox_stateChanged(int state);
    void on_scanCodeNaming_checkBox_stateChanged(int state);
    void on_smartScanNaming_checkBox_stateChanged(int state);
    void on_format_comboBox_currentIndexChanged(int index);
    void on_timeNaming_comboBox_currentIndexChanged(int index);
    void on_autoIndexDigit_comboBox_currentIndexChanged(int index);
    void on_prefix_lineEdit_textChanged(const QString &text);
    void on_enableTiming_checkBox_stateChanged(int state);
    void on_remainingTime_timeEdit_timeChanged(const QTime &time);
    void on_textScale_comboBox_currentIndexChanged(int index);
    void on_autoSaveImageY_rBtn_toggled(bool checked);
    void on_autoSaveImageN_rBtn_toggled(bool checked);
    void on_measureScale_cBox_toggled(bool checked);
    void on_crossLine_cBox_toggled(bool checked);
    void on_gridLine_cBox_toggled(bool checked);
    void on_saveScanResult_comboBox_currentIndexChanged(int index);
    // Shows the refused-characters message without blocking.
    void onPrefixLineEditInputError();

private:
    void build();
    void load();
    void setNamingKind(int kind, int state);
    void writeDraw(DrawProperty property, const QVariant &value);
    void updateSample();

    QLineEdit *m_savePath = nullptr;
    QLineEdit *m_prefix = nullptr;
    QString m_acceptedPrefix;
    QButtonGroup *m_naming = nullptr;
    QComboBox *m_timeFormat = nullptr;
    QComboBox *m_digits = nullptr;
    QComboBox *m_saveScanResult = nullptr;
    QComboBox *m_format = nullptr;
    QRadioButton *m_mergeYes = nullptr;
    QRadioButton *m_mergeNo = nullptr;
    QRadioButton *m_saveGraphicsYes = nullptr;
    QRadioButton *m_saveGraphicsNo = nullptr;
    QComboBox *m_textScale = nullptr;
    QCheckBox *m_crossLine = nullptr;
    QCheckBox *m_gridLine = nullptr;
    QCheckBox *m_measureScale = nullptr;
    QRadioButton *m_autoSaveYes = nullptr;
    QRadioButton *m_autoSaveNo = nullptr;
    QCheckBox *m_enableTiming = nullptr;
    QTimeEdit *m_remainingTime = nullptr;
    QLabel *m_sample = nullptr;
};
