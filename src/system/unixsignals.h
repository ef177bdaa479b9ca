#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM and SIGINT into a Qt signal on the event loop (the self-pipe pattern: the
// handler only writes one byte; everything else runs on the user-interface thread).
class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(QObject *parent = nullptr);
    ~UnixSignals() override;

Q_SIGNALS:
    void terminationRequested();

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
};
