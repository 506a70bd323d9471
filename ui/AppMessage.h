#pragma once

#include <QString>

#include <functional>

class QWidget;

// The program's message boxes. Every message and Yes/No question goes
// through here so that a test can watch them and answer instead of a person
// (SetHandler); without a handler they are modal QMessageBoxes.
class AppMessage
{
public:
    enum class Kind { Information, Warning, Error, Question };

    // Returns the answer to a question (true = Yes); ignored for the others.
    using Handler = std::function<bool(Kind kind, const QString &caption, const QString &text)>;

    static void Information(QWidget *parent, const QString &caption, const QString &text);
    static void Warning(QWidget *parent, const QString &caption, const QString &text);
    static void Error(QWidget *parent, const QString &caption, const QString &text);
    static bool YesNo(QWidget *parent, const QString &caption, const QString &text);
    // A warning with Retry and Cancel: true for Retry (a handler answers it
    // as a question).
    static bool RetryCancel(QWidget *parent, const QString &caption, const QString &text);

    // Replaces the boxes; an empty handler brings them back.
    static void SetHandler(Handler handler);

private:
    static bool Show(QWidget *parent, Kind kind, const QString &caption, const QString &text);
};
