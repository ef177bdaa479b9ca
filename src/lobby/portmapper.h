#pragma once

#include <QObject>
#include <QString>

// Forwards TCP `port` on the router to this machine (UPnP IGD), as a lease renewed while open;
// deleted on close() and in the destructor. Discovery (at most 3 s) and every blocking
// miniupnpc call run off the interface thread.
class PortMapper : public QObject {
    Q_OBJECT
public:
    explicit PortMapper(quint16 port = 7772, QObject *parent = nullptr);
    ~PortMapper() override;
    void open();
    void close();
Q_SIGNALS:
    void opened(const QString &externalAddress);
    void failed(const QString &line);  // "No router answered within 3 seconds." / refused / mapped to another machine
    void closedDown();                 // the mapping is gone
};
