#pragma once

#include "lantable.h"

#include <QList>
#include <QObject>
#include <QString>

// A live list of _lexitangle._tcp tables on the local network, at most 200.
class TableBrowser : public QObject {
    Q_OBJECT
public:
    explicit TableBrowser(QObject *parent = nullptr);
    ~TableBrowser() override;
    void start();
    void stop();
    QList<LanTable> tables() const;
Q_SIGNALS:
    void tableFound(const LanTable &table);   // also when a known table's details change
    void tableLost(const QString &key);
    void unavailable(const QString &line);    // e.g. "Tables on this network cannot be found: the Avahi daemon is not running."
};
