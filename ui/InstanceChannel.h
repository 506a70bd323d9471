#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The local socket of the running analyzer: a second start connects to it and
// asks the first to bring its window to the front before it exits.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    explicit InstanceChannel(QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Listens on `path`; a socket file left by an earlier holder of the lock
    // is removed first (only the lock holder listens).
    bool Listen(const QString &path);

    // Sends the raise request; false when nobody listens on `path`.
    static bool AskToRaise(const QString &path, int timeoutMs = 1000);

    static constexpr const char *RaiseRequest = "raise\n";

signals:
    void RaiseRequested();

private:
    void Accept();

    QLocalServer *server = nullptr;
};
