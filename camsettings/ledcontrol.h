#pragma once

#include "ledinfo.h"

#include <QVariantMap>
#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

// The ring light of four parts (up, left, right, down): a part is on at the last level chosen or
// off, and the level moves every part that is on.
class LedControl : public QWidget
{
    Q_OBJECT

public:
    static constexpr int PartCount = 4;

    explicit LedControl(QWidget *parent = nullptr);

    // The configuration-scheme values: "LEDPart1".."LEDPart4" (levels), "LED1Checked"..
    // "LED4Checked" (0 or 1) and "LastLedLevel".
    QVariantMap schemeValues() const;
    // Shows a scheme's values (absent keys keep theirs) and sends the levels in one request.
    void applySchemeValues(const QVariantMap &values);

signals:
    void setCameraLed(int partIndex, int level);
    void setCameraAllLed(int up, int left, int right, int down);

public slots:
    void onRecvCameraLedInfo(LedInfo info);

protected:
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void setPart(int part, bool on);
    void setLevel(int level);
    // Every part on at the last level, or every part off, in one request.
    void setAll(bool on);
    void sendAll();
    // The controls from m_levels and m_lastLevel, without signals.
    void showLevels();

    std::array<QCheckBox *, PartCount> m_parts{};
    QSlider *m_slider = nullptr;
    QSpinBox *m_spin = nullptr;
    QLabel *m_levelLabel = nullptr;
    QPushButton *m_allOn = nullptr;
    QPushButton *m_allOff = nullptr;
    std::array<int, PartCount> m_levels{};
    int m_partCount = PartCount;
    int m_lastLevel = 0;
};
