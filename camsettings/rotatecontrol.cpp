#include "rotatecontrol.h"

#include "configstore.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>

int rotationFromLabel(const QString &label)
{
    static const QRegularExpression pattern(QStringLiteral("(\\d+)°"));
    const QRegularExpressionMatch match = pattern.match(label);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

RotateControl::RotateControl(QWidget *parent) : QWidget(parent), m_buttons(new QButtonGroup(this))
{
    // Not exclusive: an exclusive group cannot go back to no button checked.
    m_buttons->setExclusive(false);
    auto *layout = new QHBoxLayout(this);
    for (const int angle : {90, 180, 270}) {
        auto *button = new QPushButton(QStringLiteral("%1°").arg(angle), this);
        button->setObjectName(QStringLiteral("rotate_%1_btn").arg(angle));
        button->setCheckable(true);
        m_buttons->addButton(button);
        layout->addWidget(button);
    }
    connect(m_buttons, QOverload<QAbstractButton *, bool>::of(&QButtonGroup::buttonToggled), this,
            [this](QAbstractButton *button, bool checked) { rotate(checked ? rotationFromLabel(button->text()) : 0); });
}

int RotateControl::rotateAngle() const
{
    for (const QAbstractButton *button : m_buttons->buttons()) {
        if (button->isChecked())
            return rotationFromLabel(button->text());
    }
    return 0;
}

void RotateControl::onRecvVideoRotate(int rotateVal)
{
    const QSignalBlocker blocker(m_buttons);
    for (QAbstractButton *button : m_buttons->buttons())
        button->setChecked(rotationFromLabel(button->text()) == rotateVal);
}

void RotateControl::applyRotateAngle(int rotateVal)
{
    onRecvVideoRotate(rotateVal);
    rotate(rotateAngle());
}

void RotateControl::rotate(int rotateVal)
{
    // Only one button stays checked.
    {
        const QSignalBlocker blocker(m_buttons);
        for (QAbstractButton *button : m_buttons->buttons())
            button->setChecked(rotateVal != 0 && rotationFromLabel(button->text()) == rotateVal);
    }
    ConfigStore::instance().write(ConfigGroup::Rotate, RotateKey::RotateAngle, rotateVal);
    emit signalVideoRotate(rotateVal);
    emit signalCurVideoRotate(rotateVal);
}
