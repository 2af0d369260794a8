#pragma once
// Answers the message boxes that the code under test opens modally: every box that shows
// is recorded (object name and text) and closed with the next button of the queue
// (Yes, No, Ok...), or Ok/Yes when the queue is empty.
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

class ModalAnswerer : public QObject {
public:
    explicit ModalAnswerer(QList<QMessageBox::StandardButton> answers = {})
        : m_answers(std::move(answers))
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start(20);
    }

    QStringList texts;
    QStringList names;

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        texts.append(box->text());
        names.append(box->objectName());
        QMessageBox::StandardButton answer = m_answers.isEmpty() ? QMessageBox::NoButton : m_answers.takeFirst();
        QAbstractButton* button = answer != QMessageBox::NoButton ? box->button(answer) : nullptr;
        if (!button)
            button = box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok) : box->button(QMessageBox::Yes);
        if (button)
            button->click();
        else
            box->reject();
    }

    QList<QMessageBox::StandardButton> m_answers;
    QTimer m_timer;
};
