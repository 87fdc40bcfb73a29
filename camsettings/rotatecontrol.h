#pragma once

#include <QWidget>

class QButtonGroup;
class QPushButton;

// The angle a rotation button stands for, read from its label ("90°" -> 90); 0 without one.
int rotationFromLabel(const QString &label);

// Turns the live picture by a quarter, half or three-quarter turn: one button at a time,
// unchecking the checked one returns to no rotation.
class RotateControl : public QWidget
{
    Q_OBJECT

public:
    explicit RotateControl(QWidget *parent = nullptr);

    // The angle shown (0, 90, 180 or 270).
    int rotateAngle() const;
    // Shows the angle and asks for it, as a click would (a configuration scheme's "RotateAngle").
    void applyRotateAngle(int rotateVal);

signals:
    void signalVideoRotate(int rotateVal);
    void signalCurVideoRotate(int rotateVal);

public slots:
    // Shows a rotation made elsewhere, without asking for it again.
    void onRecvVideoRotate(int rotateVal);

private:
    void rotate(int rotateVal);

    QButtonGroup *m_buttons = nullptr;
};
