#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// A countdown in whole seconds that shows the time left each second, as "%1 hours, %2 minutes
// and %3 seconds" filled into the caller's text, and runs an action when less than a second
// is left.
class Countdown : public QObject
{
    Q_OBJECT

public:
    explicit Countdown(QObject *parent = nullptr);

    // The length of a second (tests shorten it).
    void setSecondMs(int ms) { m_secondMs = ms; }
    int secondMs() const { return m_secondMs; }

    // Counts `seconds` down, showing `text` (translated, with %1 hours, %2 minutes and %3
    // seconds) at once and on every tick, then clears the line and runs `done`.
    void start(int seconds, const QString &text, std::function<void()> done);
    // Stops without running the action; the line is left to the caller.
    void stop() { m_timer.stop(); }
    bool isActive() const { return m_timer.isActive(); }
    int remaining() const { return m_remaining; }

signals:
    void statusChanged(const QString &text);

private:
    void tick();
    void show();

    QTimer m_timer;
    int m_secondMs = 1000;
    int m_remaining = 0;
    QString m_text;
    std::function<void()> m_done;
};
