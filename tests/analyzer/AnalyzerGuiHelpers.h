#pragma once

#include "ui/AppMessage.h"

#include <QApplication>
#include <QDir>
#include <QString>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

// With TRACEMOOR_SCREENSHOTS set to a folder, the window is kept there as a
// picture (run under Xvfb for the real look).
inline void KeepScreenshot(QWidget &window, const char *name)
{
    const QString folder = qEnvironmentVariable("TRACEMOOR_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QTest::qWait(50);
    window.grab().save(QDir(folder).filePath(QLatin1String(name)));
}

// Answers the modal dialogs that open while it lives: each time a modal
// window appears, `onDialog` runs with it (and should close it).
class ModalAnswerer
{
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> onDialog)
        : handler(std::move(onDialog))
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            QWidget *w = QApplication::activeModalWidget();
            if (!w || w == last || !w->isVisible())
                return;
            last = w;
            ++seen;
            handler(w);
            last = nullptr;
        });
        timer.start();
    }

    int Seen() const { return seen; }

private:
    std::function<void(QWidget *)> handler;
    QTimer timer;
    QWidget *last = nullptr;
    int seen = 0;
};

// Records every message box instead of showing it, answering questions with
// `answer`.
class MessageRecorder
{
public:
    struct Message
    {
        AppMessage::Kind kind;
        QString caption;
        QString text;
    };

    explicit MessageRecorder(bool answer = false)
    {
        AppMessage::SetHandler(
            [this, answer](AppMessage::Kind kind, const QString &caption, const QString &text) {
                messages.push_back({kind, caption, text});
                return answer;
            });
    }
    ~MessageRecorder() { AppMessage::SetHandler({}); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    std::vector<Message> messages;
};
