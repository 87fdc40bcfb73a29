#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

// Runs `answer` on the next modal window of type Dialog once it is showing, as long as the returned
// poll lives. A modal dialog runs its own event loop, so the test cannot wait for it in sequence; a
// fixed delay races the dialog on a loaded machine, hence the poll until it is really up. Keep the
// poll in the scope of the step that opens the dialog, so that it never answers a later one.
template <typename Dialog = QWidget, typename Answer>
[[nodiscard]] std::unique_ptr<QTimer> answerNextModal(Answer answer)
{
    auto poll = std::make_unique<QTimer>();
    QTimer *timer = poll.get();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        timer->stop();
        answer(dialog);
    });
    timer->start();
    return poll;
}

// Closes the next modal window, as the operator would.
[[nodiscard]] inline std::unique_ptr<QTimer> closeNextModal()
{
    return answerNextModal([](QWidget *dialog) { dialog->close(); });
}
