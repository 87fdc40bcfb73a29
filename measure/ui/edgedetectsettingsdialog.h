#pragma once

#include <QDialog>

class QComboBox;
class QSlider;
class QSpinBox;

// How clicked points are moved onto the picture's edges: each point on its own, or the points
// of a shape together.
enum class EdgeDetectMode : int { Off = 0, Point = 1, Shape = 2 };

// "Edge Detection Settings": the snapping mode and the range searched around a click. Both are
// stored as they change.
class EdgeDetectSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    static constexpr int kMinRange = 5;
    static constexpr int kMaxRange = 20;

    explicit EdgeDetectSettingsDialog(QWidget *parent = nullptr);

    // The stored choices, each out-of-range value replaced by its default.
    static EdgeDetectMode storedMode();
    static int storedRange();

signals:
    void edgeDetectModeChanged(EdgeDetectMode mode);
    void edgeDetectRangeChanged(int value);

private:
    QComboBox *m_mode;
    QSlider *m_slider;
    QSpinBox *m_range;
};
