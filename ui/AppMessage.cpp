#include "ui/AppMessage.h"

#include <QMessageBox>

namespace {

AppMessage::Handler &CurrentHandler()
{
    static AppMessage::Handler handler;
    return handler;
}

} // namespace

void AppMessage::SetHandler(Handler handler)
{
    CurrentHandler() = std::move(handler);
}

bool AppMessage::Show(QWidget *parent, Kind kind, const QString &caption, const QString &text)
{
    if (const Handler &h = CurrentHandler())
        return h(kind, caption, text);
    switch (kind) {
    case Kind::Information:
        QMessageBox::information(parent, caption, text);
        return false;
    case Kind::Warning:
        QMessageBox::warning(parent, caption, text);
        return false;
    case Kind::Error:
        QMessageBox::critical(parent, caption, text);
        return false;
    case Kind::Question:
        return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::Yes) == QMessageBox::Yes;
    }
    return false;
}

void AppMessage::Information(QWidget *parent, const QString &caption, const QString &text)
{
    Show(parent, Kind::Information, caption, text);
}

void AppMessage::Warning(QWidget *parent, const QString &caption, const QString &text)
{
    Show(parent, Kind::Warning, caption, text);
}

void AppMessage::Error(QWidget *parent, const QString &caption, const QString &text)
{
    Show(parent, Kind::Error, caption, text);
}

bool AppMessage::YesNo(QWidget *parent, const QString &caption, const QString &text)
{
    return Show(parent, Kind::Question, caption, text);
}

bool AppMessage::RetryCancel(QWidget *parent, const QString &caption, const QString &text)
{
    if (const Handler &h = CurrentHandler())
        return h(Kind::Question, caption, text);
    return QMessageBox::warning(parent, caption, text, QMessageBox::Retry | QMessageBox::Cancel,
                                QMessageBox::Retry) == QMessageBox::Retry;
}
