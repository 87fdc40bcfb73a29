#include "countdown.h"

#include <QTime>

#include <algorithm>

Countdown::Countdown(QObject *parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &Countdown::tick);
}

void Countdown::start(int seconds, const QString &text, std::function<void()> done)
{
    m_remaining = seconds;
    m_text = text;
    m_done = std::move(done);
    // The first tick comes after at most a second, so a countdown under a second runs soon.
    m_timer.start(std::min(seconds * m_secondMs, m_secondMs));
    show();
}

void Countdown::show()
{
    const QTime left = QTime(0, 0).addSecs(m_remaining);
    emit statusChanged(m_text.arg(left.hour()).arg(left.minute()).arg(left.second()));
}

void Countdown::tick()
{
    --m_remaining;
    if (m_remaining >= 1) {
        m_timer.setInterval(m_secondMs);
        return show();
    }
    m_timer.stop();
    emit statusChanged(QString());
    m_done();
}
