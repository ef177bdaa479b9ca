#pragma once

#include <QObject>
#include <QString>

// A copy of the game that already runs for this user, found by its presence object in the
// runtime folder. The game allows one copy per user: a second would only raise the first.
class RunningGame : public QObject {
    Q_OBJECT
public:
    // runtimeDirectory: where the game keeps its presence object and marker.
    explicit RunningGame(const QString &runtimeDirectory, QObject *parent = nullptr);

    // True while a copy of the game holds its presence object.
    bool runs() const;
    // Asks the running copy to restore and raise its window. Never waits: the answer, if any,
    // is the game's window coming up.
    void bringForward();

private:
    QString m_directory;
};
